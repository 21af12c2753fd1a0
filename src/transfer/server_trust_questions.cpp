#include "transfer/server_trust_questions.h"

#include "core/message_titles.h"
#include "transfer/ca_list.h"
#include "transfer/server_key_store.h"
#include "transfer/tls_peer_key.h"
#include "transfer/transfer_messages.h"

namespace velmora {
namespace {

std::string bothKeys(const UntrustedServer& server)
{
    return "Der Schl\xFC"
           "ssel des Servers " +
           server.server +
           " hat sich ge\xE4ndert.\r\n"
           "Bisher: " +
           fingerprintText(server.rememberedPin) +
           "\r\n"
           "Jetzt:  " +
           fingerprintText(server.pin);
}

} // namespace

ServerTrustFiles serverTrustFiles(const std::string& workFolder)
{
    return {workFolder + kServerKeyFileName, caListFile()};
}

ServerTrust presenterTrust(const ServerTrustFiles& files, MessageBoxes& boxes, BoxModality modality,
                           ChangedKeyAnswer changed)
{
    ServerTrust trust;
    trust.files = files;
    trust.askUnverified = [&boxes, modality](const UntrustedServer& server) {
        const std::string text = "Die Identit\xE4t des Servers " + server.server +
                                 " kann nicht best\xE4tigt werden.\r\n" + server.reason +
                                 "\r\n\r\nFingerabdruck seines Schl\xFC"
                                 "ssels:\r\n" +
                                 fingerprintText(server.pin) +
                                 "\r\n\r\nSoll diesem Schl\xFC"
                                 "ssel vertraut werden? Velmora merkt ihn sich f\xFCr "
                                 "diesen Server.";
        return boxes.show(titles::kProgram, text, BoxButtons::YesNo, modality) == BoxAnswer::Yes;
    };
    if (changed == ChangedKeyAnswer::Ask) {
        trust.askChanged = [&boxes, modality](const UntrustedServer& server) {
            const std::string text = bothKeys(server) +
                                     "\r\n\r\nSoll k\xFCnftig dem neuen Schl\xFC"
                                     "ssel vertraut werden? Nur wenn Sie "
                                     "sicher sind, dass der Server einen neuen Schl\xFC"
                                     "ssel erhalten hat.";
            return boxes.show(titles::kProgram, text, BoxButtons::YesNoDefaultNo, modality) ==
                   BoxAnswer::Yes;
        };
    }
    return trust;
}

std::string openFailureText(FtpOpenResult result, const ServerSession& session)
{
    switch (result) {
    case FtpOpenResult::InternetUnavailable:
        return messages::kInternetUnavailable;
    case FtpOpenResult::ServerKeyChanged:
        return bothKeys(session.untrustedServer()) +
               "\r\n\r\nEs wurde nichts gesendet. Hat der Server wirklich einen neuen "
               "Schl\xFC"
               "ssel erhalten, best\xE4tigen Sie ihn in den Einstellungen mit "
               "\"Verzeichnis pr\xFC"
               "fen\".";
    case FtpOpenResult::ServerKeyRevoked: {
        const UntrustedServer& server = session.untrustedServer();
        return "Der Schl\xFC"
               "ssel des Servers " +
               server.server + " wird nicht angenommen.\r\n" + server.reason +
               "\r\nFingerabdruck: " + fingerprintText(server.pin) +
               "\r\n\r\nEs wurde nichts gesendet.";
    }
    case FtpOpenResult::ServerUnreachable:
        if (!session.loginFailureNote().empty())
            return messages::kServerUnreachable + std::string("\r\n") + session.loginFailureNote();
        break;
    case FtpOpenResult::Connected:
        break;
    }
    return messages::kServerUnreachable;
}

} // namespace velmora

#include "server_tools/server_directory_tools.h"

#include "core/message_titles.h"
#include "core/text_trimming.h"
#include "transfer/remote_path.h"
#include "transfer/server_session_factory.h"

#include <optional>

namespace velmora {
namespace {

constexpr char kDirectoryPresent[] = "Das entsprechende Verzeichnis ist vorhanden:\r\n";
constexpr char kDirectoryMissing[] = "Das entsprechende Verzeichnis ist NICHT vorhanden:\r\n";
constexpr char kAbsolutePathIs[] = "Der absolute Verzeichnispfad auf dem Server heisst:\r\n";
constexpr char kAbsolutePathMissing[] =
    "Der entsprechende Verzeichnispfad auf dem Server ist nicht vorhanden.";

} // namespace

std::string typedRemoteDirectory(const SettingsFields& fields)
{
    return remotePath(fields.text(SettingsField::WebDir), fields.text(SettingsField::SubDir), "");
}

std::unique_ptr<ServerSession> openToolConnection(const SettingsFields& fields, MessageBoxes& boxes,
                                                  const std::function<void()>& stopPresentation,
                                                  BoxModality modality, const FtpTimeouts& timeouts,
                                                  const ServerTrustFiles& trust,
                                                  ChangedKeyAnswer changed)
{
    const std::string serverName = fields.text(SettingsField::ServerName);
    std::unique_ptr<ServerSession> session =
        makeServerSession(serverName, timeouts, presenterTrust(trust, boxes, modality, changed));
    session->limitTo(std::chrono::steady_clock::now() + kToolTimeLimit);
    const FtpOpenResult result = session->open(serverName, fields.text(SettingsField::UserName),
                                               fields.text(SettingsField::Password));
    if (result == FtpOpenResult::Connected)
        return session;
    stopPresentation();
    boxes.show(titles::kError, openFailureText(result, *session), BoxButtons::Ok, modality);
    return nullptr;
}

namespace {

struct TypedDirectoryVisit {
    std::unique_ptr<ServerSession> session;
    std::string directory;
    bool present = false;
};

// What both tools do first: tidy the typed directory fields, log in with the typed account and
// change into the presentation directory. Empty when the login failed (already reported).
std::optional<TypedDirectoryVisit>
visitTypedDirectory(SettingsFields& fields, MessageBoxes& boxes,
                    const std::function<void()>& stopPresentation, BoxModality modality,
                    const FtpTimeouts& timeouts, const ServerTrustFiles& trust,
                    ChangedKeyAnswer changed)
{
    NormaliseDirectoryFields(fields);
    TypedDirectoryVisit visit{nullptr, typedRemoteDirectory(fields)};
    visit.session =
        openToolConnection(fields, boxes, stopPresentation, modality, timeouts, trust, changed);
    if (!visit.session)
        return std::nullopt;
    visit.present = visit.session->setCurrentDirectory(visit.directory);
    return visit;
}

} // namespace

void CheckServerDirectory(SettingsFields& fields, MessageBoxes& boxes,
                          const std::function<void()>& stopPresentation,
                          const FtpTimeouts& timeouts, const ServerTrustFiles& trust)
{
    constexpr BoxModality modality = BoxModality::SystemModal;
    const auto visit = visitTypedDirectory(fields, boxes, stopPresentation, modality, timeouts,
                                           trust, ChangedKeyAnswer::Ask);
    if (!visit)
        return;
    visit->session->close();
    boxes.show(titles::kInformation,
               (visit->present ? kDirectoryPresent : kDirectoryMissing) + visit->directory,
               BoxButtons::Ok, modality);
}

void LoadAbsoluteServerPath(SettingsFields& fields, MessageBoxes& boxes,
                            const std::function<void()>& stopPresentation,
                            const FtpTimeouts& timeouts, const ServerTrustFiles& trust)
{
    constexpr BoxModality modality = BoxModality::Ordinary;
    const auto visit = visitTypedDirectory(fields, boxes, stopPresentation, modality, timeouts,
                                           trust, ChangedKeyAnswer::Refuse);
    if (!visit)
        return;
    ServerSession& session = *visit->session;
    if (!visit->present) {
        session.close();
        boxes.show(titles::kInformation, kDirectoryMissing + visit->directory, BoxButtons::Ok,
                   modality);
        return;
    }
    const auto reported = session.currentDirectory();
    session.close();
    if (!reported) {
        boxes.show(titles::kInformation, kAbsolutePathMissing, BoxButtons::Ok, modality);
        return;
    }
    const std::string path(trimSpaces(*reported));
    boxes.show(titles::kInformation, kAbsolutePathIs + path, BoxButtons::Ok, modality);
    fields.setText(SettingsField::HtpasswdPath, path + "/");
}

} // namespace velmora

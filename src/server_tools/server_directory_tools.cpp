#include "server_tools/server_directory_tools.h"

#include "core/message_titles.h"
#include "core/text_trimming.h"
#include "publish/publish_messages.h"
#include "publish/remote_path.h"

namespace velmora {
namespace {

constexpr char kDirectoryPresent[] = "Das entsprechende Verzeichnis ist vorhanden:\r\n";
constexpr char kDirectoryMissing[] = "Das entsprechende Verzeichnis ist NICHT vorhanden:\r\n";
constexpr char kAbsolutePathIs[] = "Der absolute Verzeichnispfad auf dem Server heisst:\r\n";
constexpr char kAbsolutePathMissing[] =
    "Der entsprechende Verzeichnispfad auf dem Server ist nicht vorhanden.";

} // namespace

std::string TypedRemoteDirectory(const SettingsFields& fields)
{
    return remotePath(fields.text(SettingsField::WebDir), fields.text(SettingsField::SubDir), "");
}

bool OpenToolConnection(FtpSession& session, const SettingsFields& fields, MessageBoxes& boxes,
                        SharedPresentation& shared, BoxModality modality)
{
    const FtpOpenResult result =
        session.open(fields.text(SettingsField::ServerName), fields.text(SettingsField::UserName),
                     fields.text(SettingsField::Password));
    if (result == FtpOpenResult::Connected)
        return true;
    shared.state = PresentationState::Stopped;
    boxes.show(titles::kError,
               result == FtpOpenResult::InternetUnavailable ? messages::kInternetUnavailable
                                                            : messages::kServerUnreachable,
               BoxButtons::Ok, modality);
    return false;
}

void CheckServerDirectory(SettingsFields& fields, MessageBoxes& boxes, SharedPresentation& shared,
                          const FtpTimeouts& timeouts)
{
    constexpr BoxModality modality = BoxModality::SystemModal;
    NormaliseDirectoryFields(fields);
    const std::string directory = TypedRemoteDirectory(fields);
    FtpSession session(timeouts);
    if (!OpenToolConnection(session, fields, boxes, shared, modality))
        return;
    const bool present = session.setCurrentDirectory(directory);
    session.close();
    boxes.show(titles::kInformation, (present ? kDirectoryPresent : kDirectoryMissing) + directory,
               BoxButtons::Ok, modality);
}

void LoadAbsoluteServerPath(SettingsFields& fields, MessageBoxes& boxes, SharedPresentation& shared,
                            const FtpTimeouts& timeouts)
{
    constexpr BoxModality modality = BoxModality::Ordinary;
    NormaliseDirectoryFields(fields);
    const std::string directory = TypedRemoteDirectory(fields);
    FtpSession session(timeouts);
    if (!OpenToolConnection(session, fields, boxes, shared, modality))
        return;
    if (!session.setCurrentDirectory(directory)) {
        session.close();
        boxes.show(titles::kInformation, kDirectoryMissing + directory, BoxButtons::Ok, modality);
        return;
    }
    const auto reported = session.currentDirectory();
    session.close();
    if (!reported) {
        boxes.show(titles::kInformation, kAbsolutePathMissing, BoxButtons::Ok, modality);
        return;
    }
    const std::string path = std::string(TrimSpaces(*reported));
    boxes.show(titles::kInformation, kAbsolutePathIs + path, BoxButtons::Ok, modality);
    fields.setText(SettingsField::HtpasswdPath, path + "/");
}

} // namespace velmora

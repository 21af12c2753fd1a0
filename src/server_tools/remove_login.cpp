#include "server_tools/remove_login.h"

#include "core/message_titles.h"
#include "transfer/remote_path.h"
#include "server_tools/login_files.h"
#include "server_tools/server_directory_tools.h"

namespace velmora {
namespace {

constexpr char kPathReloadHint[] = "Bitte den Pfad erneut laden und nochmals versuchen.";
constexpr char kAccessRulesNotDeleted[] = "Die htaccess-Datei konnte nicht gel\xF6scht werden.\r\n"
                                          "Eventuell war noch kein Login-System installiert.";
constexpr char kPasswordListNotDeleted[] = "Die htpasswd-Datei konnte nicht gel\xF6scht werden.\r\n"
                                           "Eventuell war noch kein Login-System installiert.";
constexpr char kRemoved[] = "Das Login-System ist entfernt.\r\n"
                            "Bitte 'OK' dr\xFC"
                            "cken, um aktuellen Stand festzuhalten.";
constexpr char kNotFullyRemoved[] =
    "Das Login-System konnte nicht vollst\xE4ndig entfernt werden.\r\n"
    "Bitte das Login-System erneut installieren und nochmals entfernen.";

} // namespace

void RemoveLogin(SettingsFields& fields, MessageBoxes& boxes,
                 const std::function<void()>& stopPresentation, const FtpTimeouts& timeouts,
                 const ServerTrustFiles& trust)
{
    constexpr BoxModality modality = BoxModality::SystemModal;
    const auto tell = [&](const std::string& text) {
        boxes.show(titles::kInformation, text, BoxButtons::Ok, modality);
    };

    NormaliseDirectoryFields(fields);
    const std::string absolutePath = fields.text(SettingsField::HtpasswdPath);

    const std::unique_ptr<ServerSession> connection =
        openToolConnection(fields, boxes, stopPresentation, modality, timeouts, trust);
    if (!connection)
        return;
    ServerSession& session = *connection;
    // An empty path would leave the FTP server in the login directory and delete the access
    // rules of the whole web site there.
    if (!usableAbsolutePath(absolutePath) || !session.setCurrentDirectory(absolutePath)) {
        session.close();
        tell(kPathInvalid + absolutePath + kPathReloadHint);
        return;
    }

    int successes = 0;
    if (session.deleteFile(kAccessRulesRemoteName))
        ++successes;
    else
        tell(kAccessRulesNotDeleted);
    if (session.deleteFile(kPasswordListRemoteName))
        ++successes;
    else
        tell(kPasswordListNotDeleted);
    session.close();

    fields.setText(SettingsField::HtpasswdPath, "");
    fields.setText(SettingsField::LoginId, "");
    fields.setText(SettingsField::LoginPassword, "");
    tell(successes > 1 ? kRemoved : kNotFullyRemoved);
}

} // namespace velmora

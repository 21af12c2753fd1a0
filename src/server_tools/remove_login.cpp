#include "server_tools/remove_login.h"

#include "core/message_titles.h"
#include "server_tools/login_files.h"
#include "server_tools/login_messages.h"
#include "publish/publish_messages.h"
#include "publish/remote_path.h"
#include "server_tools/server_directory_tools.h"

namespace velmora {

void RemoveLogin(SettingsFields& fields, MessageBoxes& boxes, const std::function<void()>& stopPresentation,
                 const FtpTimeouts& timeouts)
{
    constexpr BoxModality modality = BoxModality::SystemModal;
    const auto tell = [&](const std::string& text) {
        boxes.show(titles::kInformation, text, BoxButtons::Ok, modality);
    };

    NormaliseDirectoryFields(fields);
    const std::string absolutePath = fields.text(SettingsField::HtpasswdPath);

    FtpSession session(timeouts);
    if (!openToolConnection(session, fields, boxes, stopPresentation, modality))
        return;
    // An empty path would leave the FTP server in the login directory and delete the access
    // rules of the whole web site there.
    if (!usableAbsolutePath(absolutePath) || !session.setCurrentDirectory(absolutePath)) {
        session.close();
        tell(login_messages::kPathInvalid + absolutePath + login_messages::kPathReloadHint);
        return;
    }

    int successes = 0;
    if (session.deleteFile(kAccessRulesRemoteName))
        ++successes;
    else
        tell(login_messages::kAccessRulesNotDeleted);
    if (session.deleteFile(kPasswordListRemoteName))
        ++successes;
    else
        tell(login_messages::kPasswordListNotDeleted);
    session.close();

    fields.setText(SettingsField::HtpasswdPath, "");
    fields.setText(SettingsField::LoginId, "");
    fields.setText(SettingsField::LoginPassword, "");
    tell(successes > 1 ? login_messages::kRemoved : login_messages::kNotFullyRemoved);
}

} // namespace velmora

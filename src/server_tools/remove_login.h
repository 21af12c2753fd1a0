#pragma once
// Button "Login vom Server entfernen": opens the presentation directory to everyone again.

#include "core/message_boxes.h"
#include "transfer/ftp_session_types.h"
#include "transfer/server_trust.h"
#include "settings/settings_fields.h"

#include <functional>

namespace velmora {

// Deletes ".htaccess" and then ".htpasswd" in the directory named by the absolute path field.
// Once that directory was reached, the absolute path, login ID and login password fields are
// emptied whatever the deletions gave, so that applying the window forgets the login. Every
// message box is system-modal.
void RemoveLogin(SettingsFields& fields, MessageBoxes& boxes,
                 const std::function<void()>& stopPresentation, const FtpTimeouts& timeouts = {},
                 const ServerTrustFiles& trust = {});

} // namespace velmora

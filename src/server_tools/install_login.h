#pragma once
// Button "Login auf Server installieren": closes the presentation directory with an Apache login.

#include "core/message_boxes.h"
#include "transfer/ftp_session_types.h"
#include "transfer/server_trust.h"
#include "settings/settings_fields.h"

#include <functional>
#include <string>

namespace velmora {

// Writes the access rules and the password list from the typed fields into the Temp folder
// (tempFolder ends in "/") and uploads them, ".htaccess" first, into the directory named by the
// absolute path field. Every message box is an ordinary one. Refuses an empty login ID or
// password. When the password list fails after the access rules went up, the access rules are
// deleted again so that the directory stays open; a password list alone stays, it locks nothing.
void InstallLogin(SettingsFields& fields, MessageBoxes& boxes,
                  const std::function<void()>& stopPresentation, const std::string& tempFolder,
                  const FtpTimeouts& timeouts = {}, const ServerTrustFiles& trust = {});

} // namespace velmora

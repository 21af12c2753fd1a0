#pragma once
// The settings window's server tools: they try the FTP settings as typed, before they are saved.
// "Verzeichnis prüfen" checks that the presentation directory exists; "Laden" asks the server for
// its absolute name, which the login protection needs. Both run on the GUI thread and report
// every result and failure in a message box at once (no retry window).

#include "core/message_boxes.h"
#include "transfer/ftp_session_types.h"
#include "transfer/server_session.h"
#include "transfer/server_trust_questions.h"
#include "settings/settings_fields.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace velmora {

// Web directory field followed directly by the subdirectory field.
std::string typedRemoteDirectory(const SettingsFields& fields);

// How long one tool may take as a whole: it runs while the presenter waits for the window.
inline constexpr std::chrono::seconds kToolTimeLimit{60};

// Connects and logs in with the typed server name, user name and password, over the transport
// the server name asks for, and limits the whole session to kToolTimeLimit from now. A server
// whose certificate does not verify is asked about in a box of the given modality; a changed key
// as changed says. On a failure the presentation is stopped, the reason is shown in a box titled
// "Fehler" of the given modality, and no session comes back.
std::unique_ptr<ServerSession>
openToolConnection(const SettingsFields& fields, MessageBoxes& boxes,
                   const std::function<void()>& stopPresentation, BoxModality modality,
                   const FtpTimeouts& timeouts, const ServerTrustFiles& trust = {},
                   ChangedKeyAnswer changed = ChangedKeyAnswer::Refuse);

// Button "Verzeichnis prüfen": tells whether the presentation directory exists on the server.
// It is where the presenter may accept a server key that changed.
void CheckServerDirectory(SettingsFields& fields, MessageBoxes& boxes,
                          const std::function<void()>& stopPresentation,
                          const FtpTimeouts& timeouts = {}, const ServerTrustFiles& trust = {});

// Button "Laden": puts the server's absolute name of the presentation directory, followed by
// "/", into the absolute path field; the field stays as it was when that fails.
void LoadAbsoluteServerPath(SettingsFields& fields, MessageBoxes& boxes,
                            const std::function<void()>& stopPresentation,
                            const FtpTimeouts& timeouts = {}, const ServerTrustFiles& trust = {});

} // namespace velmora

#pragma once
// The session a server name asks for: its scheme chooses the transport.

#include "transfer/ftp_session_types.h"
#include "transfer/server_session.h"
#include "transfer/server_trust.h"

#include <memory>
#include <string>

namespace velmora {

// An SftpSession for "sftp://", trusting the known-hosts file beside trust's key file and asking
// trust's questions; an FtpSession for every other name (ftp://, ftpes://, ftps://, none), which
// also refuses the names that name no server at all. Nothing is connected yet: open the session
// with the same serverName.
std::unique_ptr<ServerSession> makeServerSession(const std::string& serverName,
                                                 FtpTimeouts timeouts = {}, ServerTrust trust = {});

} // namespace velmora

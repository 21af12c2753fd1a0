#include "transfer/server_session_factory.h"

#include "transfer/ftp_session.h"
#include "transfer/server_address.h"
#include "transfer/sftp_session.h"
#include "transfer/ssh_trust.h"

namespace velmora {

std::unique_ptr<ServerSession> makeServerSession(const std::string& serverName,
                                                 FtpTimeouts timeouts, ServerTrust trust)
{
    const auto address = parseServerAddress(serverName);
    if (address && address->transport == Transport::Sftp)
        return std::make_unique<SftpSession>(timeouts, sshTrustFor(trust));
    return std::make_unique<FtpSession>(timeouts, std::move(trust));
}

} // namespace velmora

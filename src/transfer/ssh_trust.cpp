#include "transfer/ssh_trust.h"

#include "transfer/ssh_known_hosts_file.h"

#include <cstdlib>

namespace velmora {

SshTrust sshTrustFor(const ServerTrust& trust)
{
    SshTrust ssh;
    const std::string& keys = trust.files.keyFile;
    if (!keys.empty())
        ssh.knownHostsFile = keys.substr(0, keys.rfind('/') + 1) + kSshKnownHostsFileName;
    if (const char* home = std::getenv("HOME"); home && *home)
        ssh.userKnownHostsFile = std::string(home) + "/.ssh/known_hosts";
    ssh.askUnknown = trust.askUnverified;
    ssh.askChanged = trust.askChanged;
    return ssh;
}

} // namespace velmora

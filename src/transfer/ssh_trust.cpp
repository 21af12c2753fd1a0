#include "transfer/ssh_trust.h"

#include "transfer/presenter_known_hosts.h"
#include "transfer/ssh_known_hosts_file.h"

namespace velmora {

SshTrust sshTrustFor(const ServerTrust& trust)
{
    SshTrust ssh;
    const std::string& keys = trust.files.keyFile;
    // Beside the key file, in its folder: a Windows folder ends with "\". A path cut at the wrong
    // separator would leave the bare name, a file of whatever folder the program started in,
    // which anybody who can write there could fill with keys to trust.
    if (!keys.empty()) {
        const auto folderEnd = keys.find_last_of("/\\");
        ssh.knownHostsFile = keys.substr(0, folderEnd == std::string::npos ? 0 : folderEnd + 1) +
                             kSshKnownHostsFileName;
    }
    ssh.userKnownHostsFile = presenterKnownHostsFile();
    ssh.askUnknown = trust.askUnverified;
    ssh.askChanged = trust.askChanged;
    return ssh;
}

} // namespace velmora

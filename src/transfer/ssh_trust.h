#pragma once
// Whom an SFTP connection trusts. The host keys the presenter accepted live beside the TLS keys
// in the Work folder, in OpenSSH's own format; the presenter's ~/.ssh/known_hosts is honoured
// too, but never written.

#include "transfer/server_trust.h"

#include <string>

namespace velmora {

struct SshTrust {
    std::string knownHostsFile;     // the Work folder's; Yes answers are written here
    std::string userKnownHostsFile; // the presenter's own, honoured but never written
    TrustQuestion askUnknown;       // empty: an unknown key is refused
    TrustQuestion askChanged;       // empty: open ends with ServerKeyChanged
};

// The known-hosts file beside trust's key file, the presenter's own one in the home folder, and
// the same questions.
SshTrust sshTrustFor(const ServerTrust& trust);

} // namespace velmora

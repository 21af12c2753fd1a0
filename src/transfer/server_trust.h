#pragma once
// Whom a connection trusts: the presenter's remembered server keys, the certificate authorities,
// and the questions asked about a server that neither vouches for.

#include <functional>
#include <string>

namespace velmora {

// A server whose certificate or host key did not prove who it is, as the presenter is asked
// about it.
struct UntrustedServer {
    std::string server;        // "host:port"
    std::string reason;        // why the key was refused; empty for a changed key
    std::string pin;           // "sha256//<Base64>" of the key the server showed
    std::string rememberedPin; // for a changed key: the one remembered until now
};

// True: trust the server's key, remember it and connect pinned to it.
using TrustQuestion = std::function<bool(const UntrustedServer&)>;

struct ServerTrustFiles {
    std::string keyFile; // the remembered keys; empty: nothing is remembered
    std::string caFile;  // certificate authorities to trust; empty: the system's CA store
};

struct ServerTrust {
    ServerTrustFiles files;
    TrustQuestion askUnverified; // empty: such a server is refused
    TrustQuestion askChanged;    // empty: open ends with ServerKeyChanged
};

} // namespace velmora

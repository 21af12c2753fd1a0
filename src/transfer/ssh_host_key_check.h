#pragma once
// The host key check of an SFTP connection, made inside libcurl's SSH handshake before any
// password or key signature goes out. A key passes when the Work folder's known-hosts file knows
// it for the host, then when the presenter's own ~/.ssh/known_hosts (only read) does, or when the
// presenter just vouched for it; never when either file revokes it. Anything else is refused and
// noted, so that the session can ask about it and try once more.

#include "transfer/server_trust.h"
#include "transfer/ssh_known_hosts_file.h"
#include "transfer/ssh_trust.h"

#include <curl/curl.h>

#include <string>

namespace velmora {

class SshHostKeyCheck {
public:
    // Starts over for host (knownHostsName form), with the files trust names. The Work folder's
    // file is made, owner-only, when it is not there yet: libcurl writes nothing there (the check
    // does), but without a file of its own it would accept any key without a word.
    void start(const SshTrust& trust, const std::string& host);
    // Makes the connections of handle check their host key here. The check must outlive the
    // handle: libcurl checks the key again whenever it has to open a new connection for a later
    // request.
    void attachTo(CURL* handle, const std::string& knownHostsFile);
    // Forgets what the last connect saw, before the next one.
    void beforeConnect();

    // True when the last connect was refused for a key the server showed.
    bool refusedAKey() const { return !seenBlob_.empty(); }
    // True when that key differs from the one known for the host.
    bool keyChanged() const { return changed_; }
    // True when that key is revoked in either file.
    bool keyRevoked() const { return revoked_; }
    // After a connect that refused a key: puts the key into untrusted and asks trust's question
    // for it (unknown or changed; never for a revoked key). True when the presenter trusts it:
    // the next connect accepts that key and remembers it.
    bool askAboutRefusedKey(const SshTrust& trust, UntrustedServer& untrusted);

private:
    static int check(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch,
                     void* userdata);

    std::string host_; // known-hosts form
    std::string knownText_;
    std::string userKnownText_;
    std::string acceptedBlob_; // the key the presenter just vouched for
    std::string seenBlob_;
    std::string rememberedBase64_; // a different key known for the host
    bool changed_ = false;
    bool revoked_ = false;
    SshKnownHostsFile file_{""};
};

} // namespace velmora

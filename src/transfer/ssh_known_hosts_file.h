#pragma once
// The SSH host keys the presenter chose to trust, in the Work folder, in OpenSSH's known-hosts
// format so that ssh and ssh-keygen read it too. Owner-only: whoever may change it decides whom
// the program hands the password to.

#include <string>

namespace velmora {

// The name of the file in the Work folder.
inline constexpr char kSshKnownHostsFileName[] = "known_hosts";

class SshKnownHostsFile {
public:
    explicit SshKnownHostsFile(std::string path);

    // The file's text; empty when it does not exist.
    std::string text() const;
    // Trusts keyBlob for host (knownHostsName form) from now on, dropping the lines that named
    // host alone. False when the file cannot be written; it then holds what it held before.
    bool remember(const std::string& host, const std::string& keyBlob) const;

private:
    std::string path_;
};

} // namespace velmora

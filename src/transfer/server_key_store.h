#pragma once
// The server keys the presenter chose to trust although no certificate authority vouched for
// them. One line per server: "host:port sha256//<Base64 of the SHA-256 of the public key>", the
// form libcurl pins. The file is owner-only: whoever may change it decides whom the program
// trusts with the FTP password.

#include <optional>
#include <string>

namespace velmora {

// The name of the file in the Work folder.
inline constexpr char kServerKeyFileName[] = "Velmora.keys";

class ServerKeyStore {
public:
    // An empty path remembers nothing and finds nothing.
    explicit ServerKeyStore(std::string path);

    // The pin remembered for server ("host:port"), if any.
    std::optional<std::string> find(const std::string& server) const;
    // Remembers pin for server, replacing what was remembered for it. False when the file
    // cannot be written; it then holds what it held before.
    bool remember(const std::string& server, const std::string& pin) const;

private:
    std::string path_;
};

} // namespace velmora

#pragma once
// The server keys the program trusts by themselves, one line per server ("host:port", then the
// pin in the form libcurl takes: "sha256//<Base64 of the SHA-256 of the public key>"):
// - "host:port PIN": a key the presenter chose to trust although no certificate authority
//   vouched for it; only that key will do there.
// - "host:port PIN certified": the key of a server that logged the program in with a certificate
//   that verified. Its certificate still has to verify next time (a renewed one may bring a new
//   key), but a certificate that does not, with another key, is a changed key, not a first
//   contact. Earlier versions kept no such lines and do not match them.
// The file is owner-only: whoever may change it decides whom the program trusts with the FTP
// password.

#include <optional>
#include <string>

namespace velmora {

// The name of the file in the Work folder.
inline constexpr char kServerKeyFileName[] = "Velmora.keys";

// Who vouched for a remembered key.
enum class KeyVoucher { Presenter, Certificate };

struct RememberedKey {
    std::string pin;
    KeyVoucher voucher = KeyVoucher::Presenter;
};

class ServerKeyStore {
public:
    // An empty path remembers nothing and finds nothing.
    explicit ServerKeyStore(std::string path);

    // What is remembered for server ("host:port"), if anything.
    std::optional<RememberedKey> lookUp(const std::string& server) const;
    // The pin remembered for server, whoever vouched for it.
    std::optional<std::string> find(const std::string& server) const;
    // Remembers pin for server, replacing what was remembered for it. False when the file
    // cannot be written; it then holds what it held before.
    bool remember(const std::string& server, const std::string& pin,
                  KeyVoucher voucher = KeyVoucher::Presenter) const;

private:
    std::string path_;
};

} // namespace velmora

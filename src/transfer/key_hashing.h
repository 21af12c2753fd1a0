#pragma once
// The hashes that server keys are named and looked up by: SHA-256 for fingerprints and pinned TLS
// keys, HMAC-SHA1 for the hashed names of known-hosts files. Bytes in, bytes out; the crypto
// library behind them lives in openssl_key_hashing.cpp (a Windows build brings its own, such as
// an mbedtls_key_hashing.cpp).

#include <string>
#include <string_view>

namespace velmora {

// The 32 bytes of the SHA-256 digest of bytes; empty when the library failed.
std::string sha256(std::string_view bytes);

// The 20 bytes of HMAC-SHA1 of message keyed with key; empty when the library failed.
std::string hmacSha1(std::string_view key, std::string_view message);

} // namespace velmora

#pragma once
// The certificate authorities an FTPS server's certificate is verified against. On Linux libcurl
// and OpenSSL use the system's store. On Windows libcurl runs on mbedTLS, which has no store of
// its own and must not fall back to Windows' (Wine's accepts any certificate): the program ships
// Debian's list as cacert.pem in its folder.

#include <string>

namespace velmora {

inline constexpr char kCaListFileName[] = "cacert.pem";

// The PEM file to hand to libcurl (CURLOPT_CAINFO); empty: the TLS library's own store. A list
// that should be there but is missing gives empty as well: every certificate then comes to the
// presenter's question, where a path to nothing would refuse every FTPS server.
std::string caListFile();

} // namespace velmora

#include "transfer/key_hashing.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace velmora {

std::string sha256(std::string_view bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr) != 1)
        return {};
    return std::string(reinterpret_cast<const char*>(digest), size);
}

std::string hmacSha1(std::string_view key, std::string_view message)
{
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!HMAC(EVP_sha1(), key.data(), static_cast<int>(key.size()),
              reinterpret_cast<const unsigned char*>(message.data()), message.size(), mac, &size))
        return {};
    return std::string(reinterpret_cast<const char*>(mac), size);
}

} // namespace velmora

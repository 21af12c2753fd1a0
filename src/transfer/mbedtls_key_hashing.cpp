#include "transfer/key_hashing.h"

#include <mbedtls/md.h>
#include <mbedtls/sha256.h>

namespace velmora {

std::string sha256(std::string_view bytes)
{
    unsigned char digest[32];
    if (mbedtls_sha256_ret(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                           digest, 0) != 0)
        return {};
    return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

std::string hmacSha1(std::string_view key, std::string_view message)
{
    const mbedtls_md_info_t* sha1 = mbedtls_md_info_from_type(MBEDTLS_MD_SHA1);
    unsigned char mac[20];
    if (!sha1 || mbedtls_md_get_size(sha1) != sizeof mac ||
        mbedtls_md_hmac(sha1, reinterpret_cast<const unsigned char*>(key.data()), key.size(),
                        reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                        mac) != 0)
        return {};
    return std::string(reinterpret_cast<const char*>(mac), sizeof mac);
}

} // namespace velmora

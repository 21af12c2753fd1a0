#include "transfer/ssh_host_key.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <sstream>
#include <vector>

namespace velmora {
namespace {

std::string base64(const std::string& bytes)
{
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(bytes.data()),
                                  static_cast<int>(bytes.size()));
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

std::optional<std::string> unbase64(const std::string& text)
{
    if (text.empty() || text.size() % 4 != 0)
        return std::nullopt;
    std::string out(text.size() / 4 * 3, '\0');
    const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(text.data()),
                                  static_cast<int>(text.size()));
    if (n < 0)
        return std::nullopt;
    // EVP_DecodeBlock counts the padding as zero bytes.
    std::size_t size = static_cast<std::size_t>(n);
    for (std::size_t i = text.size(); i > 0 && text[i - 1] == '='; --i)
        --size;
    out.resize(size);
    return out;
}

// "|1|<salt>|<HMAC-SHA1 of the name keyed with the salt>", as HashKnownHosts writes it.
bool hashedNameMatches(const std::string& pattern, const std::string& host)
{
    const auto bar = pattern.find('|', 3);
    if (pattern.rfind("|1|", 0) != 0 || bar == std::string::npos)
        return false;
    const auto salt = unbase64(pattern.substr(3, bar - 3));
    const auto hash = unbase64(pattern.substr(bar + 1));
    if (!salt || !hash)
        return false;
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int macSize = 0;
    if (!HMAC(EVP_sha1(), salt->data(), static_cast<int>(salt->size()),
              reinterpret_cast<const unsigned char*>(host.data()), host.size(), mac, &macSize))
        return false;
    return std::string(reinterpret_cast<char*>(mac), macSize) == *hash;
}

bool nameMatches(const std::string& patterns, const std::string& host)
{
    if (patterns.rfind("|1|", 0) == 0)
        return hashedNameMatches(patterns, host);
    std::istringstream list(patterns);
    std::string pattern;
    while (std::getline(list, pattern, ','))
        if (pattern == host)
            return true;
    return false;
}

} // namespace

std::string sshKeyFingerprint(const std::string& keyBlob)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(keyBlob.data(), keyBlob.size(), digest, &size, EVP_sha256(), nullptr);
    std::string text = base64(std::string(reinterpret_cast<char*>(digest), size));
    while (!text.empty() && text.back() == '=')
        text.pop_back();
    return "SHA256:" + text;
}

std::string knownHostsName(const std::string& host, int port)
{
    return port == 22 ? host : "[" + host + "]:" + std::to_string(port);
}

KnownHostMatch findKnownHost(const std::string& knownHostsText, const std::string& host,
                             const std::string& keyBlob, std::string* knownKey)
{
    const std::string key = base64(keyBlob);
    KnownHostMatch result = KnownHostMatch::Missing;
    std::istringstream lines(knownHostsText);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string names, type, lineKey;
        fields >> names;
        if (names.empty() || names[0] == '#')
            continue;
        const bool revoked = names == "@revoked";
        if (names == "@cert-authority")
            continue; // host certificates are not offered by libcurl's SSH
        if (revoked)
            fields >> names;
        fields >> type >> lineKey;
        if (lineKey.empty() || !nameMatches(names, host))
            continue;
        if (revoked && lineKey == key)
            return KnownHostMatch::Mismatch;
        if (revoked)
            continue;
        if (lineKey == key)
            result = KnownHostMatch::Match;
        else if (result == KnownHostMatch::Missing) {
            result = KnownHostMatch::Mismatch;
            if (knownKey)
                *knownKey = lineKey;
        }
    }
    return result;
}

std::string knownHostsLine(const std::string& host, const std::string& keyBlob)
{
    // The blob starts with its type name as an SSH string: four bytes of length, then the name.
    if (keyBlob.size() < 4)
        return {};
    const auto* b = reinterpret_cast<const unsigned char*>(keyBlob.data());
    const std::size_t length = (std::size_t{b[0]} << 24) | (std::size_t{b[1]} << 16) |
                               (std::size_t{b[2]} << 8) | std::size_t{b[3]};
    if (length == 0 || length > 64 || keyBlob.size() < 4 + length)
        return {};
    const std::string type = keyBlob.substr(4, length);
    for (const char c : type)
        if (c <= ' ' || c > '~')
            return {};
    return host + " " + type + " " + base64(keyBlob) + "\n";
}

std::string decodeKeyBlob(const std::string& base64Blob)
{
    return unbase64(base64Blob).value_or(std::string());
}

std::string fingerprintOfBase64Key(const std::string& base64Blob)
{
    return sshKeyFingerprint(decodeKeyBlob(base64Blob));
}

} // namespace velmora

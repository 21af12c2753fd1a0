#include "transfer/ssh_host_key.h"

#include "settings/base64.h"
#include "transfer/key_hashing.h"

#include <cctype>
#include <sstream>
#include <string_view>

namespace velmora {
namespace {

// The value of a character in a Base64 block, or what else it is, the way OpenSSH's Base64 has
// always been read here: "=" counts as 0, blanks at the start and line ends or "-" at the end
// are cut off, and anything else outside the alphabet makes the block unreadable.
enum : int { kBlank = -1, kLineEnd = -2, kUnreadable = -3 };

int base64Value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    switch (c) {
    case '+':
        return 62;
    case '/':
        return 63;
    case '=':
        return 0;
    case ' ':
    case '\t':
        return kBlank;
    case '\n':
    case '\r':
    case '-':
        return kLineEnd;
    default:
        return kUnreadable;
    }
}

// Three bytes for every four characters, padding included; empty when the block is unreadable.
std::optional<std::string> decodeBlock(std::string_view text)
{
    while (!text.empty() && base64Value(text.front()) == kBlank)
        text.remove_prefix(1);
    while (text.size() > 3 &&
           (base64Value(text.back()) == kBlank || base64Value(text.back()) == kLineEnd))
        text.remove_suffix(1);
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t pos = 0; pos < text.size(); pos += 4) {
        unsigned long group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int value = base64Value(text[pos + k]);
            if (value < 0)
                return std::nullopt;
            group = (group << 6) | static_cast<unsigned long>(value);
        }
        out += static_cast<char>((group >> 16) & 0xFF);
        out += static_cast<char>((group >> 8) & 0xFF);
        out += static_cast<char>(group & 0xFF);
    }
    return out;
}

std::optional<std::string> unbase64(const std::string& text)
{
    if (text.empty() || text.size() % 4 != 0)
        return std::nullopt;
    auto out = decodeBlock(text);
    if (!out)
        return std::nullopt;
    // The padding was read as zero bytes.
    std::size_t padding = 0;
    for (std::size_t i = text.size(); i > 0 && text[i - 1] == '='; --i)
        ++padding;
    // More padding than bytes ("====") is no Base64 at all.
    if (padding > out->size())
        return std::nullopt;
    out->resize(out->size() - padding);
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
    const std::string mac = hmacSha1(*salt, host);
    return !mac.empty() && mac == *hash;
}

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A plain name as ssh compares it: without regard to case. The program once wrote IPv6 addresses
// as "[[address]]:port" and "[address]" on port 22; its files are read as they were meant.
std::string plainName(const std::string& pattern)
{
    std::string name = lowerCase(pattern);
    if (name.rfind("[[", 0) == 0) {
        const auto close = name.find("]]:");
        if (close != std::string::npos)
            name = name.substr(1, close) + name.substr(close + 2);
    } else if (name.size() > 2 && name.front() == '[' && name.back() == ']' &&
               name.find(':') != std::string::npos) {
        name = name.substr(1, name.size() - 2);
    }
    return name;
}

bool nameMatches(const std::string& patterns, const std::string& host)
{
    if (patterns.rfind("|1|", 0) == 0)
        return hashedNameMatches(patterns, host);
    std::istringstream list(patterns);
    std::string pattern;
    while (std::getline(list, pattern, ','))
        if (plainName(pattern) == host)
            return true;
    return false;
}

} // namespace

std::string sshKeyFingerprint(const std::string& keyBlob)
{
    std::string text = base64Encode(sha256(keyBlob));
    while (!text.empty() && text.back() == '=')
        text.pop_back();
    return "SHA256:" + text;
}

std::string knownHostsName(const std::string& host, int port)
{
    std::string name = lowerCase(host);
    if (name.size() > 2 && name.front() == '[' && name.back() == ']')
        name = name.substr(1, name.size() - 2);
    return port == 22 ? name : "[" + name + "]:" + std::to_string(port);
}

KnownHostMatch findKnownHost(const std::string& knownHostsText, const std::string& host,
                             const std::string& keyBlob, std::string* knownKey)
{
    KnownHostMatch result = KnownHostMatch::Missing;
    std::string other;
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
        // Like ssh, a line whose key cannot be read names no key: its fingerprint would be made
        // up.
        const std::string lineBlob = decodeKeyBlob(lineKey);
        if (lineBlob.empty())
            continue;
        // A revoked key has been given up as compromised: whatever names its line carries, and
        // wherever the line stands, it refuses the key.
        if (revoked && lineBlob == keyBlob)
            return KnownHostMatch::Revoked;
        if (revoked || !nameMatches(names, host))
            continue;
        if (lineBlob == keyBlob)
            result = KnownHostMatch::Match;
        else if (result == KnownHostMatch::Missing) {
            result = KnownHostMatch::Mismatch;
            other = lineKey;
        }
    }
    if (result == KnownHostMatch::Mismatch && knownKey)
        *knownKey = other;
    return result;
}

bool lineNamesHostAlone(const std::string& line, const std::string& host)
{
    std::istringstream fields(line);
    std::string names;
    fields >> names;
    return !names.empty() && names[0] != '@' && names[0] != '#' &&
           names.find(',') == std::string::npos && nameMatches(names, host);
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
    return host + " " + type + " " + base64Encode(keyBlob) + "\n";
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

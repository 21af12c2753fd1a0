#include "settings/base64.h"

#include <cstdint>

namespace velmora {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::uint32_t sextetOf(char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<std::uint32_t>(c - 'A');
    if (c >= 'a' && c <= 'z')
        return static_cast<std::uint32_t>(c - 'a' + 26);
    if (c >= '0' && c <= '9')
        return static_cast<std::uint32_t>(c - '0' + 52);
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return 0;
}

} // namespace

std::string base64Encode(std::string_view bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t pos = 0; pos < bytes.size(); pos += 3) {
        const std::size_t count = bytes.size() - pos < 3 ? bytes.size() - pos : 3;
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            const auto byte = k < count ? static_cast<unsigned char>(bytes[pos + k]) : 0u;
            group = (group << 8) | byte;
        }
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += count > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        out += count > 2 ? kAlphabet[group & 63] : '=';
    }
    return out;
}

std::string base64Decode(std::string_view text)
{
    std::string out;
    if (text.size() % 4 != 0)
        return out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t pos = 0; pos < text.size(); pos += 4) {
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k)
            group = (group << 6) | sextetOf(text[pos + k]);
        const std::size_t count = text[pos + 2] == '=' ? 1 : text[pos + 3] == '=' ? 2 : 3;
        for (std::size_t k = 0; k < count; ++k)
            out += static_cast<char>((group >> (16 - 8 * k)) & 0xFF);
    }
    return out;
}

} // namespace velmora

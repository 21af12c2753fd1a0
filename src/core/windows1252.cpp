#include "core/windows1252.h"

#include <array>

namespace velmora {
namespace {

// 0x80..0x9F; 0 marks the five unassigned codes.
constexpr std::array<char16_t, 32> kHighCodes = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

char32_t unicodeFromWindows1252(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t mapped = kHighCodes[byte - 0x80];
        return mapped != 0 ? mapped : char32_t(byte);
    }
    return byte;
}

char windows1252FromUnicode(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (unsigned char byte = 0x80; byte <= 0x9F; ++byte) {
        if (unicodeFromWindows1252(byte) == codePoint)
            return static_cast<char>(byte);
    }
    return '?';
}

} // namespace velmora

#include "settings/utf8_conversion.h"

#include "core/windows1252.h"

#include <cstdint>

namespace velmora {
namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence starting at pos and its code point, or 0 when the bytes
// there are not well-formed (stray continuation, overlong form, surrogate, beyond U+10FFFF, cut
// off).
std::size_t decodeSequence(std::string_view text, std::size_t pos, std::uint32_t& codePoint)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - pos < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[pos + k]);
        if (!isContinuation(byte))
            return 0;
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

void appendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        // The table holds nothing beyond the Basic Multilingual Plane.
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

} // namespace

std::string singleByteToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        appendUtf8(out, unicodeFromWindows1252(static_cast<unsigned char>(c)));
    return out;
}

std::string utf8ToSingleByte(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::uint32_t codePoint = 0;
        const std::size_t length = decodeSequence(text, pos, codePoint);
        if (length == 0) {
            out += '?';
            ++pos;
            continue;
        }
        // Earlier versions wrote every byte as the code point of the same number, so the C1
        // controls still stand for the bytes 0x80 to 0x9F.
        out += codePoint >= 0x80 && codePoint <= 0x9F ? static_cast<char>(codePoint)
                                                      : windows1252FromUnicode(codePoint);
        pos += length;
    }
    return out;
}

} // namespace velmora

#include "core/number_rule.h"

namespace velmora {
namespace {

// The value of one digit in the given base, or -1 when the character is no such digit.
int digitValue(char c, unsigned base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

std::int32_t readNumber(std::string_view text, bool basePrefixes)
{
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    unsigned base = 10;
    if (basePrefixes && pos < text.size() && (text[pos] == '$' || text[pos] == '%')) {
        base = text[pos] == '$' ? 16 : 2;
        ++pos;
    }
    // Unsigned arithmetic wraps modulo 2^32, which keeps exactly the low 32 bits of any length.
    std::uint32_t value = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = digitValue(text[pos], base);
        if (digit < 0)
            break;
        value = value * base + static_cast<std::uint32_t>(digit);
    }
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
}

} // namespace

std::int32_t numberFromText(std::string_view text)
{
    return readNumber(text, true);
}

std::int32_t decimalNumberFromText(std::string_view text)
{
    return readNumber(text, false);
}

std::string numberToText(std::int32_t number)
{
    return std::to_string(number);
}

} // namespace velmora

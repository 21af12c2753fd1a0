#pragma once
// How a text becomes a 32-bit number and back. The preference file stores numbers as text, and the
// settings window and the region string read typed numbers with the same forgiving rule.

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Leading spaces and tabs, an optional "-" or "+", then decimal digits ("$" introduces hexadecimal
// digits, "%" binary digits) up to the first other character. No digits give 0. The result is the
// low 32 bits of the value, taken as a signed number, so no input can overflow.
std::int32_t numberFromText(std::string_view text);

// The same rule with decimal digits only ("$" and "%" are other characters): the fields of the
// Region string.
std::int32_t decimalNumberFromText(std::string_view text);

// Decimal digits with a leading "-" when negative.
std::string numberToText(std::int32_t number);

} // namespace velmora

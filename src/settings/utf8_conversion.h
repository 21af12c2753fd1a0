#pragma once
// A preference file that starts with the UTF-8 mark holds UTF-8 text, while the program works with
// single-byte Windows-1252 texts. The conversion takes each byte as the code point of the same
// number (the ISO-8859-1 rule), both ways.

#include <string>
#include <string_view>

namespace velmora {

std::string singleByteToUtf8(std::string_view text);

// Characters up to U+00FF become their byte; any other character, and every byte that is not part
// of a well-formed UTF-8 sequence, becomes "?". Hand-edited files may hold anything, so malformed
// input must give a usable text rather than garbage bytes or a crash.
std::string utf8ToSingleByte(std::string_view text);

} // namespace velmora

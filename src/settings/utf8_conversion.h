#pragma once
// A preference file that starts with the UTF-8 mark holds UTF-8 text, while the program works with
// single-byte Windows-1252 texts. Both ways go through the Windows-1252 table, so that a euro sign
// (U+20AC) typed into a hand-edited file arrives as the byte 0x80 and that byte is written back as
// the euro sign.

#include <string>
#include <string_view>

namespace velmora {

std::string singleByteToUtf8(std::string_view text);

// Characters of the table and the controls U+0080 to U+009F (as files written before the table was
// used hold them) become their byte; any other character, and every byte that is not part of a
// well-formed UTF-8 sequence, becomes "?". Hand-edited files may hold anything, so malformed
// input must give a usable text rather than garbage bytes or a crash.
std::string utf8ToSingleByte(std::string_view text);

} // namespace velmora

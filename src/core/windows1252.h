#pragma once
// The program's texts are Windows-1252 bytes; wherever they meet Unicode (the Qt front end, a
// preference file in UTF-8 mode) the same table must apply, or a text changes on its way through.

namespace velmora {

// The byte's character. Windows-1252 leaves 0x81, 0x8D, 0x8F, 0x90 and 0x9D unassigned; those stay
// the C1 controls of the same number, so every byte has a character and comes back unchanged.
char32_t unicodeFromWindows1252(unsigned char byte);

// The byte holding codePoint, or "?" when Windows-1252 has none (the C1 controls other than the
// five above, and everything beyond U+00FF outside the table).
char windows1252FromUnicode(char32_t codePoint);

} // namespace velmora

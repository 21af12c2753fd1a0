#pragma once
// The program keeps its texts, paths included, as Windows-1252 bytes; the system's W functions
// take UTF-16. These two are the one place where the two meet on Windows, so that a text goes
// through a window or the file system and comes back unchanged.

#include <string>

namespace velmora {

std::wstring wideFromWindows1252(const std::string& text);
// Characters that Windows-1252 cannot hold become "?".
std::string windows1252FromWide(const std::wstring& text);
std::string windows1252FromWide(const wchar_t* text, std::size_t length);

} // namespace velmora

#include "app/win32_wide_text.h"

#include "core/windows1252.h"

namespace velmora {

// The table of core/windows1252 rather than the system's code page 1252: the system maps the
// five unassigned bytes differently from release to release, and then a text would not come
// back as it went.
std::wstring wideFromWindows1252(const std::string& text)
{
    std::wstring wide;
    wide.reserve(text.size());
    for (const char c : text)
        wide.push_back(static_cast<wchar_t>(unicodeFromWindows1252(static_cast<unsigned char>(c))));
    return wide;
}

std::string windows1252FromWide(const wchar_t* text, std::size_t length)
{
    std::string bytes;
    bytes.reserve(length);
    // A character beyond the Basic Multilingual Plane is two surrogates, neither in the table.
    for (std::size_t i = 0; i < length; ++i)
        bytes.push_back(windows1252FromUnicode(static_cast<char16_t>(text[i])));
    return bytes;
}

std::string windows1252FromWide(const std::wstring& text)
{
    return windows1252FromWide(text.data(), text.size());
}

} // namespace velmora

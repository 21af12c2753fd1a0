#pragma once
// A Windows path as the file functions of the C library (and so libcurl and libssh2) take it: in
// the ANSI code page.

#include <windows.h>

#include <string>

namespace velmora {

// Empty when the code page cannot spell the path: such a file cannot be opened by fopen either.
std::string ansiPath(const std::wstring& wide);

} // namespace velmora

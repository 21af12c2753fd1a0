#pragma once
// Writing a working file in the Temp folder in one go.

#include <string>

namespace velmora {

// Creates or truncates path and writes bytes exactly. False when the file cannot be created or
// when writing or closing it fails (a full disk must not let a truncated page go out).
bool writeWholeFile(const std::string& path, const std::string& bytes);

} // namespace velmora

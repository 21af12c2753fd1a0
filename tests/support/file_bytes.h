#pragma once
// A whole file read into a string, or written from one, byte for byte.

#include <string>

namespace velmora::test {

// Empty when the file cannot be read.
std::string fileBytes(const std::string& path);

// Replaces the file's content; false when it could not be written.
bool writeFileBytes(const std::string& path, const std::string& bytes);

} // namespace velmora::test

#pragma once
// Reading and writing a local file in one go.

#include <memory>
#include <optional>
#include <string>

namespace velmora {

// Creates or truncates path and writes bytes exactly. False when the file cannot be created or
// when writing or closing it fails (a full disk must not let a truncated page go out).
bool writeWholeFile(const std::string& path, const std::string& bytes);

// The file's bytes exactly; nothing when it cannot be opened or reading it fails part-way, so that
// a cut-off file is never taken for the whole one.
std::optional<std::string> readWholeFile(const std::string& path);
// The same, to be handed from thread to thread and never changed: null when it cannot be read.
std::shared_ptr<const std::string> readSharedFile(const std::string& path);

} // namespace velmora

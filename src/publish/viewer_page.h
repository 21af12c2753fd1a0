#pragma once
// The page spectators open, uploaded as "index.htm": a fixed text that carries no value of the
// presentation, so it is the same byte for byte every time it is written.

#include <string>

namespace velmora {

// 16 lines ended by CR LF (the last one empty), 7-bit ASCII.
const std::string& viewerPageText();

// Creates the file anew; false when it cannot be created or written completely.
bool writeViewerPage(const std::string& path);

} // namespace velmora

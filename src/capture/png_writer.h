#pragma once
// The program's own PNG writer: truecolour RGB, 8 bits per channel, no interlacing, filter None
// on every row, zlib level 9, and only the chunks IHDR, IDAT and IEND. The rows are compressed
// on all cores (parallel_deflate.h); the file is the same format a single-threaded libpng
// writer with those settings produces.

#include "capture/rgb_picture.h"

#include <cstddef>
#include <string>

namespace velmora {

struct PngWriteOptions {
    int pieceCount = 0;                  // 0: chosen by the cores and the picture size
    std::size_t maxIdatBytes = 1u << 20; // data bytes per IDAT chunk
};

// Replaces the file at path. Returns false when the picture has no pixels, the file cannot be
// opened or written completely, or compression fails.
bool writePng(const std::string& path, const RgbPicture& picture,
              const PngWriteOptions& options = {});

} // namespace velmora

#pragma once
// The peer of the program's PNG writer: libpng alone, one thread, the same format (RGB, 8 bits,
// no interlacing, filter None, zlib level 9).

#include "png/rgb_picture.h"

#include <string>

namespace velmora::bench {

bool writePngSingleThreaded(const std::string& path, const RgbPicture& picture);

} // namespace velmora::bench

#pragma once
// One video frame as PipeWire delivers it for screen casts: four bytes a pixel, one of them
// unused, in the byte order the stream negotiated; and its copy into the capture's RGB rows.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

// Byte order in memory, first byte first ("x" is the unused byte).
enum class PixelOrder { BGRx, RGBx, xRGB, xBGR };

struct VideoFrame {
    int width = 0;
    int height = 0;
    std::size_t stride = 0; // bytes from one row to the next
    PixelOrder order = PixelOrder::BGRx;
    std::vector<std::uint8_t> bytes;

    bool empty() const { return width <= 0 || height <= 0; }
};

// Copies the rectangle (x, y, width, height) of the frame into rows of red, green, blue bytes,
// stride bytes apart. The desktop may change the size of the shared monitor while it runs: a
// rectangle the frame does not wholly cover is not copied at all, and the answer is false, as
// for a frame whose rows do not fit its bytes.
bool copyFrameRgb(const VideoFrame& frame, int x, int y, int width, int height, std::uint8_t* rgb,
                  std::size_t stride);

} // namespace velmora

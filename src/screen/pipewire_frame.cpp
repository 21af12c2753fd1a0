#include "screen/pipewire_frame.h"

namespace velmora {
namespace {

struct ChannelPlaces {
    int red;
    int green;
    int blue;
};

ChannelPlaces placesOf(PixelOrder order)
{
    switch (order) {
    case PixelOrder::BGRx:
        return {2, 1, 0};
    case PixelOrder::RGBx:
        return {0, 1, 2};
    case PixelOrder::xRGB:
        return {1, 2, 3};
    case PixelOrder::xBGR:
        return {3, 2, 1};
    }
    return {2, 1, 0};
}

} // namespace

bool copyFrameRgb(const VideoFrame& frame, int x, int y, int width, int height, std::uint8_t* rgb,
                  std::size_t stride)
{
    if (frame.empty() || width <= 0 || height <= 0)
        return false;
    // A rectangle the frame does not wholly cover (the desktop made the monitor smaller since
    // the rectangle was chosen) would leave part of the picture black.
    if (x < 0 || y < 0 || width > frame.width - x || height > frame.height - y)
        return false;
    // A frame whose rows do not fit its bytes is not read at all.
    if (frame.stride < static_cast<std::size_t>(frame.width) * 4 ||
        frame.bytes.size() < frame.stride * static_cast<std::size_t>(frame.height))
        return false;

    const ChannelPlaces at = placesOf(frame.order);
    for (int row = y; row < y + height; ++row) {
        const std::uint8_t* from =
            frame.bytes.data() + static_cast<std::size_t>(row) * frame.stride + x * 4;
        std::uint8_t* to = rgb + static_cast<std::size_t>(row - y) * stride;
        for (int column = x; column < x + width; ++column, from += 4, to += 3) {
            to[0] = from[at.red];
            to[1] = from[at.green];
            to[2] = from[at.blue];
        }
    }
    return true;
}

} // namespace velmora

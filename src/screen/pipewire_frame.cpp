#include "screen/pipewire_frame.h"

#include <algorithm>

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
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + width, frame.width);
    const int bottom = std::min(y + height, frame.height);
    if (left >= right || top >= bottom)
        return false;
    // A frame whose rows do not fit its bytes is not read at all.
    if (frame.stride < static_cast<std::size_t>(frame.width) * 4 ||
        frame.bytes.size() < frame.stride * static_cast<std::size_t>(frame.height))
        return false;

    const ChannelPlaces at = placesOf(frame.order);
    for (int row = top; row < bottom; ++row) {
        const std::uint8_t* from =
            frame.bytes.data() + static_cast<std::size_t>(row) * frame.stride + left * 4;
        std::uint8_t* to = rgb + static_cast<std::size_t>(row - y) * stride + (left - x) * 3;
        for (int column = left; column < right; ++column, from += 4, to += 3) {
            to[0] = from[at.red];
            to[1] = from[at.green];
            to[2] = from[at.blue];
        }
    }
    return true;
}

} // namespace velmora

// Frames as PipeWire hands them over, copied into the capture's RGB rows.

#include "png/rgb_picture.h"
#include "screen/pipewire_frame.h"

#include <gtest/gtest.h>

#include <array>

namespace velmora {
namespace {

// A frame whose pixel (x, y) holds red x, green y, blue 7 in the given byte order, with rows
// padded by `padding` bytes of 0xEE.
VideoFrame numberedFrame(int width, int height, PixelOrder order, std::size_t padding = 0)
{
    VideoFrame frame;
    frame.width = width;
    frame.height = height;
    frame.order = order;
    frame.stride = static_cast<std::size_t>(width) * 4 + padding;
    frame.bytes.assign(frame.stride * height, 0xEE);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = frame.bytes.data() + y * frame.stride + x * 4;
            const std::uint8_t r = static_cast<std::uint8_t>(x), g = static_cast<std::uint8_t>(y);
            const std::uint8_t b = 7, unused = 0x55;
            std::array<std::uint8_t, 4> bytes{};
            switch (order) {
            case PixelOrder::BGRx:
                bytes = {b, g, r, unused};
                break;
            case PixelOrder::RGBx:
                bytes = {r, g, b, unused};
                break;
            case PixelOrder::xRGB:
                bytes = {unused, r, g, b};
                break;
            case PixelOrder::xBGR:
                bytes = {unused, b, g, r};
                break;
            }
            std::copy(bytes.begin(), bytes.end(), p);
        }
    }
    return frame;
}

std::array<int, 3> pixel(const RgbPicture& picture, int x, int y)
{
    const std::uint8_t* p = picture.data() + y * picture.stride() + x * 3;
    return {p[0], p[1], p[2]};
}

TEST(WaylandFrame, EveryByteOrderGivesTheSameColours)
{
    for (const PixelOrder order :
         {PixelOrder::BGRx, PixelOrder::RGBx, PixelOrder::xRGB, PixelOrder::xBGR}) {
        const VideoFrame frame = numberedFrame(20, 10, order);
        RgbPicture picture(20, 10);
        ASSERT_TRUE(copyFrameRgb(frame, 0, 0, 20, 10, picture.data(), picture.stride()));
        EXPECT_EQ(pixel(picture, 0, 0), (std::array<int, 3>{0, 0, 7}));
        EXPECT_EQ(pixel(picture, 19, 9), (std::array<int, 3>{19, 9, 7}));
    }
}

TEST(WaylandFrame, RegionOfAPaddedFrameTakesItsOwnRowsAndColumnsOnly)
{
    const VideoFrame frame = numberedFrame(40, 30, PixelOrder::BGRx, 24);
    RgbPicture picture(5, 4);
    ASSERT_TRUE(copyFrameRgb(frame, 12, 20, 5, 4, picture.data(), picture.stride()));
    EXPECT_EQ(pixel(picture, 0, 0), (std::array<int, 3>{12, 20, 7}));
    EXPECT_EQ(pixel(picture, 4, 3), (std::array<int, 3>{16, 23, 7}));
}

TEST(WaylandFrame, FrameThatShrankIsNotCopiedIntoAPartlyBlackPicture)
{
    // The desktop made the shared monitor smaller than it was when the rectangle was chosen.
    const VideoFrame frame = numberedFrame(10, 6, PixelOrder::RGBx);
    RgbPicture picture(16, 8); // black
    EXPECT_FALSE(copyFrameRgb(frame, 4, 2, 12, 6, picture.data(), picture.stride()));
    EXPECT_EQ(pixel(picture, 5, 3), (std::array<int, 3>{0, 0, 0}));
    // The largest rectangle the frame still covers is copied whole.
    ASSERT_TRUE(copyFrameRgb(frame, 4, 2, 6, 4, picture.data(), picture.stride()));
    EXPECT_EQ(pixel(picture, 5, 3), (std::array<int, 3>{9, 5, 7}));
}

TEST(WaylandFrame, NothingToCopyIsReportedAndWritesNothing)
{
    RgbPicture picture(4, 4);
    const std::array<int, 3> black{0, 0, 0};
    EXPECT_FALSE(copyFrameRgb(VideoFrame{}, 0, 0, 4, 4, picture.data(), picture.stride()));

    const VideoFrame frame = numberedFrame(8, 8, PixelOrder::BGRx);
    EXPECT_FALSE(copyFrameRgb(frame, 8, 0, 4, 4, picture.data(), picture.stride()));

    // Rows that do not fit the bytes received: not one byte past them is read.
    VideoFrame cut = frame;
    cut.bytes.resize(cut.bytes.size() - 1);
    EXPECT_FALSE(copyFrameRgb(cut, 0, 0, 4, 4, picture.data(), picture.stride()));
    VideoFrame narrow = frame;
    narrow.stride = 8 * 4 - 1;
    EXPECT_FALSE(copyFrameRgb(narrow, 0, 0, 4, 4, picture.data(), picture.stride()));
    EXPECT_EQ(pixel(picture, 1, 1), black);
}

} // namespace
} // namespace velmora

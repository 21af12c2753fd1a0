#pragma once
// Pictures with content that shows a swapped channel, a shifted row or a lost column.

#include "png/rgb_picture.h"

#include <cstdint>

namespace velmora::test {

inline void patternPixel(int x, int y, std::uint8_t* rgb)
{
    rgb[0] = static_cast<std::uint8_t>(x * 7 + y * 13);
    rgb[1] = static_cast<std::uint8_t>(x * y + 5);
    rgb[2] = static_cast<std::uint8_t>((x ^ y) + 101);
}

inline RgbPicture patternPicture(int width, int height)
{
    RgbPicture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            patternPixel(x, y, picture.row(y) + 3 * x);
    return picture;
}

// Long runs and text-like strokes, as a desktop has them: compresses well, unlike the pattern.
inline RgbPicture screenLikePicture(int width, int height)
{
    RgbPicture picture(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture.row(y);
        for (int x = 0; x < width; ++x) {
            const bool window = (x / 300 + y / 200) % 3 != 0;
            const bool stroke = window && (y % 14 < 9) && ((x * 31 + y * 17) % 11 < 3);
            const std::uint8_t v = stroke ? 30 : window ? 240 : static_cast<std::uint8_t>(y / 8);
            row[3 * x] = v;
            row[3 * x + 1] = window ? v : static_cast<std::uint8_t>(v + 40);
            row[3 * x + 2] = window ? v : 160;
        }
    }
    return picture;
}

} // namespace velmora::test

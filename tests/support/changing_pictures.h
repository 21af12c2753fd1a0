#pragma once
// Pictures for the tests of the cache of compressed pieces: content that compresses like a
// screen (flat areas, strokes) with some noise, and the small changes a screen sees between two
// captures.

#include "png/rgb_picture.h"

#include <cstdint>
#include <random>

namespace velmora::test {

using Random = std::mt19937;

inline int randomBelow(Random& random, int limit)
{
    return static_cast<int>(random() % static_cast<unsigned>(limit));
}

// Flat panels, text-like strokes and a noisy patch, different for every seed.
inline RgbPicture changingPicture(int width, int height, Random& random)
{
    RgbPicture picture(width, height);
    const int panel = 20 + randomBelow(random, 200);
    const std::uint8_t base = static_cast<std::uint8_t>(random());
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture.row(y);
        for (int x = 0; x < width; ++x) {
            const bool light = (x / panel + y / (panel / 2 + 1)) % 3 != 0;
            const bool stroke = light && y % 13 < 8 && (x * 29 + y * 11) % 13 < 3;
            std::uint8_t v = stroke ? 20 : light ? 235 : static_cast<std::uint8_t>(base + y / 4);
            if (x % 97 < 9 && y % 61 < 7)
                v = static_cast<std::uint8_t>(random()); // a little noise
            row[3 * x] = v;
            row[3 * x + 1] = static_cast<std::uint8_t>(v + (light ? 0 : 30));
            row[3 * x + 2] = light ? v : static_cast<std::uint8_t>(base ^ 0x5a);
        }
    }
    return picture;
}

inline void changeByte(RgbPicture& picture, int y, std::size_t byteInRow)
{
    picture.row(y)[byteInRow] ^= 0x01; // the smallest change there is
}

inline void changePixel(RgbPicture& picture, int x, int y)
{
    std::uint8_t* p = picture.row(y) + 3 * x;
    p[0] = static_cast<std::uint8_t>(p[0] + 77);
    p[2] = static_cast<std::uint8_t>(p[2] ^ 0x80);
}

inline void fillRectangle(RgbPicture& picture, int x, int y, int width, int height,
                          std::uint8_t value)
{
    for (int row = y; row < y + height && row < picture.height(); ++row)
        for (int col = x; col < x + width && col < picture.width(); ++col)
            for (int c = 0; c < 3; ++c)
                picture.row(row)[3 * col + c] = static_cast<std::uint8_t>(value + 40 * c);
}

} // namespace velmora::test

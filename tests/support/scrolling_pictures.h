#pragma once
// A tall page of text-like rows, no two alike, and the screens that show it scrolled: what a
// presenter's screen shows while a document moves under a fixed title bar.

#include "png/rgb_picture.h"

#include "support/changing_pictures.h"

#include <cstring>

namespace velmora::test {

// Lines of "words" (dark strokes of random length) on white with a blank row between lines;
// every line differs, so rows repeat only as blank rows do on a real page.
inline RgbPicture textPage(int width, int height, Random& random)
{
    RgbPicture page(width, height);
    std::memset(page.data(), 255, page.stride() * static_cast<std::size_t>(height));
    for (int lineTop = 0; lineTop + 9 <= height; lineTop += 11) {
        for (int x = 2; x < width - 2;) {
            const int word = 3 + randomBelow(random, 25);
            const std::uint8_t ink = static_cast<std::uint8_t>(randomBelow(random, 90));
            for (int y = lineTop + 1; y < lineTop + 9; ++y)
                for (int c = x; c < x + word && c < width - 2; ++c)
                    if ((c * 7 + y * 3 + word) % 5 < 2)
                        std::memset(page.row(y) + 3 * c, ink, 3);
            x += word + 3 + randomBelow(random, 6);
        }
    }
    return page;
}

// The screen with `barRows` fixed rows at the top and the page below them from page row `top`
// (rows past the page's end are blank).
inline RgbPicture scrolledScreen(const RgbPicture& page, int height, int barRows, int top)
{
    RgbPicture screen(page.width(), height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = screen.row(y);
        const int source = top + y - barRows;
        if (y < barRows)
            std::memset(row, 40 + y, screen.stride());
        else if (source >= 0 && source < page.height())
            std::memcpy(row, page.row(source), screen.stride());
        else
            std::memset(row, 255, screen.stride());
    }
    return screen;
}

} // namespace velmora::test

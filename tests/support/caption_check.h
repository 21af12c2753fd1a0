#pragma once
// What the caption line may change in a captured picture: a box at the top-left corner, the
// size the caption renderer reports for the line.

#include "capture/caption_renderer.h"
#include "gui/qt_caption_renderer.h"
#include "support/png_file.h"

#include <functional>
#include <string>

namespace velmora::test {

inline CaptionBox captionBoxOf(const std::string& line = " Remote Desktop:  ")
{
    RgbPicture scratch(400, 60);
    return qtCaptionRenderer().draw(scratch, line);
}

// Every pixel outside the caption box must be expected(x, y); inside, only the two greys of the
// caption and their blends, with the top-left pixel the box's background and some text drawn when
// the box fits. Returns the number of differing pixels (0 when all is well).
inline int
countPixelsOffCaptionedPicture(const PngPixels& png,
                               const std::function<void(int, int, std::uint8_t*)>& expected)
{
    const CaptionBox box = captionBoxOf();
    int wrong = 0;
    int textPixels = 0;
    for (int y = 0; y < png.height; ++y) {
        for (int x = 0; x < png.width; ++x) {
            const std::uint8_t* p = &png.rgb[(static_cast<std::size_t>(y) * png.width + x) * 3];
            if (x < box.width && y < box.height) {
                const bool grey = p[0] == p[1] && p[1] == p[2] && p[0] >= 96 && p[0] <= 224;
                wrong += grey ? 0 : 1;
                textPixels += grey && p[0] < 160 ? 1 : 0;
                continue;
            }
            std::uint8_t want[3];
            expected(x, y, want);
            wrong += (p[0] == want[0] && p[1] == want[1] && p[2] == want[2]) ? 0 : 1;
        }
    }
    if (png.width > 0 && png.height > 0 && png.rgb[0] != 224)
        ++wrong;
    // " Remote Desktop: " in a bold 11-pixel face has well over a hundred dark pixels.
    if (png.width >= box.width && png.height >= box.height && textPixels < 100)
        ++wrong;
    return wrong;
}

} // namespace velmora::test

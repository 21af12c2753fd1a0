#pragma once
// Where a colour lies in a browser's screenshot: the box around its pixels, how many there are,
// and the colours the viewer page's tests look for.

#include "support/png_file.h"

#include <algorithm>
#include <cstdint>

namespace velmora::test {

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

inline Box boxOf(const PngPixels& shot, bool (*match)(const std::uint8_t*))
{
    Box box;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (match(shot.at(x, y))) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

inline bool isBlue(const std::uint8_t* p)
{
    return p[0] < 40 && p[1] < 40 && p[2] > 200;
}
inline bool isRed(const std::uint8_t* p)
{
    return p[0] > 200 && p[1] < 60 && p[2] < 60;
}
// The background of the lost connection note.
inline bool isNoteRed(const std::uint8_t* p)
{
    return p[0] > 150 && p[0] < 200 && p[1] < 30 && p[2] < 30;
}
inline bool isDark(const std::uint8_t* p)
{
    return p[0] < 128 && p[1] < 128 && p[2] < 128;
}
inline bool isGreen(const std::uint8_t* p)
{
    return p[0] < 60 && p[1] > 200 && p[2] < 60;
}
inline bool isBlack(const std::uint8_t* p)
{
    return p[0] < 16 && p[1] < 16 && p[2] < 16;
}

inline int pixelCount(const PngPixels& shot, bool (*match)(const std::uint8_t*))
{
    int count = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            count += match(shot.at(x, y)) ? 1 : 0;
    return count;
}

} // namespace velmora::test

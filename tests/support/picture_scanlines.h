#pragma once
// A test picture as the PNG encoder's pieces read it: its rows, stride for stride.

#include "png/rgb_picture.h"
#include "png/scanlines.h"

namespace velmora::test {

inline Scanlines scanlinesOf(const RgbPicture& picture)
{
    Scanlines s;
    s.rows = picture.data();
    s.stride = picture.stride();
    s.rowBytes = picture.stride();
    s.rowCount = picture.height();
    return s;
}

} // namespace velmora::test

#pragma once
// A synthetic presenter's desktop: windows with title bars, text in several faces and sizes,
// a table, flat panels and one photo-like area. Deterministic, so runs compare.

#include "png/rgb_picture.h"

namespace velmora::bench {

// Needs a QGuiApplication (fonts).
RgbPicture screenLikeContent(int width, int height);

} // namespace velmora::bench

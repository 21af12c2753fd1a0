#pragma once
// Draws the caption line into a picture: the text in RGB(96, 96, 96) on an opaque RGB(224, 224,
// 224) box whose top-left corner is the picture's. Behind an interface so that the capture
// logic does not depend on how text is rasterised: the front end brings its own.

#include "png/rgb_picture.h"

#include <string>

namespace velmora {

struct CaptionBox {
    int width = 0;
    int height = 0;
};

class CaptionRenderer {
public:
    virtual ~CaptionRenderer() = default;
    // text is Windows-1252. Returns the box it filled (clipped by nothing: it may reach beyond a
    // small picture).
    virtual CaptionBox draw(RgbPicture& picture, const std::string& text) = 0;
};

} // namespace velmora

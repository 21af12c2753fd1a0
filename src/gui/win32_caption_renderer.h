#pragma once
// The caption line drawn with GDI: Arial 8 pt bold at the screen's logical pixels per inch,
// text RGB(96, 96, 96) on an opaque RGB(224, 224, 224) box, as TextOut draws it into a device
// context, then copied into the picture's rows.

#include "capture/caption_renderer.h"
#include "gui/win32_fonts.h"

namespace velmora {

class Win32CaptionRenderer final : public CaptionRenderer {
public:
    CaptionBox draw(RgbPicture& picture, const std::string& text) override;

private:
    Win32Font font_; // made on the first picture
};

} // namespace velmora

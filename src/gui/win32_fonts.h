#pragma once
// The program's fonts on Win32: Arial bold at 12 pt for the dialog titles (about box, region
// picker) and at 8 pt for the caption line on the pictures, each point size turned into a
// character height with the display's logical pixels per inch, rounded; and the system's own
// dialog font for every other gadget.

#include <windows.h>

namespace velmora {

class Win32Font {
public:
    Win32Font() = default;
    explicit Win32Font(HFONT font) : font_(font) {}
    ~Win32Font() { reset(); }
    Win32Font(Win32Font&& other) noexcept : font_(other.font_) { other.font_ = nullptr; }
    Win32Font& operator=(Win32Font&& other) noexcept;
    Win32Font(const Win32Font&) = delete;
    Win32Font& operator=(const Win32Font&) = delete;

    HFONT get() const { return font_; }

private:
    void reset();
    HFONT font_ = nullptr;
};

// The screen's logical pixels per inch (96 where it cannot be read).
int screenDotsPerInch();
// Arial bold of the given point size: height = -(points x dpi / 72), rounded.
Win32Font arialBold(int points, int dotsPerInch);
// The font of buttons, labels and fields: the system's dialog font.
HFONT gadgetFont();
// The settings window's font: its gadget sizes were laid out for a narrow dialog font, and a
// narrow face (Arial Narrow, or the metric-compatible Liberation Sans Narrow) keeps every label
// whole in them. Null where neither is installed: the gadgets then take gadgetFont().
Win32Font narrowDialogFont();

} // namespace velmora

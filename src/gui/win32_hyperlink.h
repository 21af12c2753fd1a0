#pragma once
// A clickable address on Win32: always underlined, drawn black and red while the pointer is
// over it, with the hand cursor; a click with the left button inside it runs onClick.

#include "gui/win32_fonts.h"
#include "gui/win32_window.h"

#include <functional>

namespace velmora {

class Win32Hyperlink final : public Win32Window {
public:
    // A child of parent at (x, y) in its client pixels; text is Windows-1252.
    Win32Hyperlink(HWND parent, const std::string& text, RECT place, std::function<void()> onClick);
    ~Win32Hyperlink() override;

    void setText(const std::string& text);

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void paint();

    std::wstring text_;
    Win32Font font_;
    std::function<void()> onClick_;
    bool hovered_ = false;
};

} // namespace velmora

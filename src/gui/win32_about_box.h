#pragma once
// "Über Velmora" on Win32: name, version, notice and the maker's homepage. Not modal; closing it
// (OK or the close box) only hides it and changes nothing about a running presentation.

#include "gui/win32_fonts.h"
#include "gui/win32_hyperlink.h"
#include "gui/win32_window.h"

#include <functional>
#include <memory>

namespace velmora {

class Win32AboutBox final : public Win32Window {
public:
    // Owned by owner (the main window), centred on the screen, above every window.
    Win32AboutBox(HWND owner, HFONT titleFont, const std::string& homepage,
                  std::function<void()> openHomepage);
    ~Win32AboutBox() override;

    bool takeDialogKeys(MSG& message);

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::unique_ptr<Win32Hyperlink> link_;
};

} // namespace velmora

#pragma once
// "Über Velmora" on Win32: the described box, its link showing the installed help. Not modal;
// closing it (OK, Return, Escape or the close box) only hides it.

#include "gui/win32_described_window.h"

#include <functional>

namespace velmora {

class Win32AboutBox final : public Win32DescribedWindow {
public:
    // Owned by owner (the main window), centred on the screen, above every window.
    Win32AboutBox(HWND owner, HFONT titleFont, const std::string& homepage,
                  std::function<void()> openHomepage);

private:
    void onAction(WindowAction action);

    std::function<void()> openHomepage_;
};

} // namespace velmora

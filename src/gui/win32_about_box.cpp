#include "gui/win32_about_box.h"

#include "app/program.h"

namespace velmora {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOPMOST;
constexpr int kOk = IDOK;

} // namespace

Win32AboutBox::Win32AboutBox(HWND owner, HFONT titleFont, const std::string& homepage,
                             std::function<void()> openHomepage)
{
    const SIZE outer = outerSizeForClient(290, 224, kStyle, kExStyle);
    const POINT place = centredOnScreen(outer);
    Shape shape;
    shape.exStyle = kExStyle;
    shape.style = kStyle;
    shape.x = place.x;
    shape.y = place.y;
    shape.width = outer.cx;
    shape.height = outer.cy;
    shape.owner = owner;
    if (!create("\xDC"
                "ber Velmora",
                shape))
        return;
    const HFONT font = gadgetFont();
    constexpr DWORD kCentred = SS_CENTER | SS_NOPREFIX;
    addGadget(L"STATIC", "Velmora", kCentred, 5, 20, 280, 25, -1, titleFont ? titleFont : font);
    addGadget(L"STATIC", "Version 1.9.1306", kCentred, 5, 50, 280, 25, -1, font);
    addGadget(L"STATIC", "\xA9 2026 Corvantis. Alle Rechte vorbehalten.", kCentred, 5, 80, 280, 25,
              -1, font);
    addGadget(L"STATIC", "Homepage / Support:", kCentred, 5, 115, 280, 15, -1, font);
    link_ = std::make_unique<Win32Hyperlink>(handle(), homepage, RECT{55, 135, 250, 155},
                                             std::move(openHomepage));
    addGadget(L"BUTTON", "OK", BS_PUSHBUTTON | WS_TABSTOP, 100, 185, 90, 25, kOk, font);
}

Win32AboutBox::~Win32AboutBox()
{
    link_.reset();
    destroy();
}

bool Win32AboutBox::takeDialogKeys(MSG& message)
{
    if (handle() == nullptr || (message.hwnd != handle() && !IsChild(handle(), message.hwnd)))
        return false;
    return IsDialogMessageW(handle(), &message) != FALSE;
}

LRESULT Win32AboutBox::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // OK, Return or Escape.
        if (LOWORD(wParam) == kOk || LOWORD(wParam) == IDCANCEL)
            hide();
        return 0;
    case WM_CLOSE:
        hide();
        return 0;
    default:
        return byDefault(message, wParam, lParam);
    }
}

} // namespace velmora

#include "gui/win32_hyperlink.h"

#include "app/win32_wide_text.h"

namespace velmora {
namespace {

// IDC_HAND as the W function wants it, whether or not UNICODE is defined.
const LPCWSTR kHandCursor = MAKEINTRESOURCEW(32649);

} // namespace

Win32Hyperlink::Win32Hyperlink(HWND parent, const std::string& text, RECT place,
                               std::function<void()> onClick)
    : text_(wideFromWindows1252(text)), onClick_(std::move(onClick))
{
    // The dialog font, underlined.
    LOGFONTW look{};
    GetObjectW(gadgetFont(), sizeof look, &look);
    look.lfUnderline = TRUE;
    font_ = Win32Font(CreateFontIndirectW(&look));

    Shape shape;
    shape.style = WS_CHILD | WS_VISIBLE;
    shape.x = place.left;
    shape.y = place.top;
    shape.width = place.right - place.left;
    shape.height = place.bottom - place.top;
    shape.owner = parent;
    create(text, shape);
}

Win32Hyperlink::~Win32Hyperlink()
{
    destroy();
}

void Win32Hyperlink::setText(const std::string& text)
{
    text_ = wideFromWindows1252(text);
    if (handle() != nullptr)
        InvalidateRect(handle(), nullptr, TRUE);
}

void Win32Hyperlink::paint()
{
    PAINTSTRUCT painting;
    HDC dc = BeginPaint(handle(), &painting);
    RECT area{};
    GetClientRect(handle(), &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    const HGDIOBJ previous = SelectObject(dc, font_.get() ? font_.get() : gadgetFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, hovered_ ? RGB(255, 0, 0) : RGB(0, 0, 0));
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &area,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    SelectObject(dc, previous);
    EndPaint(handle(), &painting);
}

LRESULT Win32Hyperlink::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, kHandCursor));
        return TRUE;
    case WM_MOUSEMOVE:
        if (!hovered_) {
            hovered_ = true;
            TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, handle(), 0};
            TrackMouseEvent(&leave);
            InvalidateRect(handle(), nullptr, FALSE);
        }
        return 0;
    case WM_MOUSELEAVE:
        hovered_ = false;
        InvalidateRect(handle(), nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP: {
        RECT area{};
        GetClientRect(handle(), &area);
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&area, at) && onClick_)
            onClick_();
        return 0;
    }
    default:
        return byDefault(message, wParam, lParam);
    }
}

} // namespace velmora

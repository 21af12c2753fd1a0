#include "gui/win32_picture_view.h"

#include "app/win32_wide_text.h"

#include <algorithm>
// GDI+ wants min and max as it knows them from the Windows headers.
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>

namespace velmora {
namespace {

constexpr int kLineStep = 16;

// GDI+ for as long as a view loads a picture.
class GdiplusSession {
public:
    GdiplusSession()
    {
        const Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession()
    {
        if (started_)
            Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

} // namespace

Win32PictureView::Win32PictureView(HWND parent, const std::string& path)
{
    load(path);
    Shape shape;
    shape.style = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_CLIPSIBLINGS;
    shape.x = 0;
    shape.y = 0;
    shape.width = 0;
    shape.height = 0;
    shape.owner = parent;
    create("", shape);
}

Win32PictureView::~Win32PictureView()
{
    destroy();
    if (picture_ != nullptr)
        DeleteObject(picture_);
}

void Win32PictureView::load(const std::string& path)
{
    const GdiplusSession session;
    if (!session.started())
        return;
    const std::wstring file = wideFromWindows1252(path);
    Gdiplus::Bitmap bitmap(file.c_str());
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return;
    HBITMAP made = nullptr;
    if (bitmap.GetHBITMAP(Gdiplus::Color(255, 255, 255), &made) != Gdiplus::Ok || made == nullptr)
        return;
    picture_ = made;
    pictureWidth_ = static_cast<int>(bitmap.GetWidth());
    pictureHeight_ = static_cast<int>(bitmap.GetHeight());
}

void Win32PictureView::place(int x, int y, int width, int height)
{
    if (handle() == nullptr)
        return;
    MoveWindow(handle(), x, y, width, height, TRUE);
    updateScrollBars();
}

void Win32PictureView::updateScrollBars()
{
    RECT area{};
    GetClientRect(handle(), &area);
    const auto set = [this](int bar, int content, int page, int& offset) {
        offset = std::clamp(offset, 0, std::max(content - page, 0));
        SCROLLINFO info{sizeof info,
                        SIF_RANGE | SIF_PAGE | SIF_POS,
                        0,
                        content - 1,
                        static_cast<UINT>(std::max(page, 0)),
                        offset,
                        0};
        SetScrollInfo(handle(), bar, &info, TRUE);
    };
    set(SB_HORZ, pictureWidth_, area.right, offsetX_);
    set(SB_VERT, pictureHeight_, area.bottom, offsetY_);
    InvalidateRect(handle(), nullptr, FALSE);
}

void Win32PictureView::scroll(int bar, int request, int wheelSteps)
{
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(handle(), bar, &info);
    int position = info.nPos;
    switch (request) {
    case SB_LINEUP:
        position -= kLineStep;
        break;
    case SB_LINEDOWN:
        position += kLineStep;
        break;
    case SB_PAGEUP:
        position -= static_cast<int>(info.nPage);
        break;
    case SB_PAGEDOWN:
        position += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = info.nTrackPos;
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = info.nMax;
        break;
    default:
        position -= wheelSteps * kLineStep * 3;
        break;
    }
    (bar == SB_HORZ ? offsetX_ : offsetY_) = position;
    updateScrollBars();
}

void Win32PictureView::paint()
{
    PAINTSTRUCT painting;
    HDC dc = BeginPaint(handle(), &painting);
    RECT area{};
    GetClientRect(handle(), &area);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (picture_ != nullptr) {
        HDC source = CreateCompatibleDC(dc);
        const HGDIOBJ previous = SelectObject(source, picture_);
        BitBlt(dc, 0, 0, pictureWidth_ - offsetX_, pictureHeight_ - offsetY_, source, offsetX_,
               offsetY_, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    }
    EndPaint(handle(), &painting);
}

LRESULT Win32PictureView::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SIZE:
        updateScrollBars();
        return 0;
    case WM_HSCROLL:
        scroll(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        scroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        scroll(SB_VERT, -1, GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
        return 0;
    default:
        return byDefault(message, wParam, lParam);
    }
}

} // namespace velmora

#include "gui/win32_region_frame.h"

#include "app/program_windows.h"
#include "capture/region_frame_geometry.h"
#include "core/signal_stack.h"
#include "gui/win32_window.h"

namespace velmora {
namespace {

constexpr DWORD kRedrawMs = 100;
constexpr COLORREF kOutline = RGB(192, 192, 0);
constexpr COLORREF kSeeThrough = RGB(255, 255, 255);

class FrameWindow final : public Win32Window {
public:
    explicit FrameWindow(const FrameGeometry& place)
    {
        Shape shape;
        shape.exStyle =
            WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE;
        shape.style = WS_POPUP;
        shape.x = place.x;
        shape.y = place.y;
        shape.width = place.width;
        shape.height = place.height;
        if (!create(regionFrameDescription().title, shape))
            return;
        SetLayeredWindowAttributes(handle(), kSeeThrough, 0, LWA_COLORKEY);
        ShowWindow(handle(), SW_SHOWNOACTIVATE);
    }
    ~FrameWindow() override { destroy(); }

    // The outline over the whole window, the rest white (see-through); raised above windows
    // opened since.
    void redraw()
    {
        if (handle() == nullptr)
            return;
        SetWindowPos(handle(), HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        HDC dc = GetDC(handle());
        if (dc != nullptr) {
            draw(dc);
            ReleaseDC(handle(), dc);
        }
    }

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT painting;
            HDC dc = BeginPaint(handle(), &painting);
            draw(dc);
            EndPaint(handle(), &painting);
            return 0;
        }
        case WM_ERASEBKGND:
            return TRUE;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        default:
            return byDefault(message, wParam, lParam);
        }
    }

private:
    void draw(HDC dc)
    {
        RECT area{};
        GetClientRect(handle(), &area);
        HBRUSH white = CreateSolidBrush(kSeeThrough);
        HBRUSH outline = CreateSolidBrush(kOutline);
        FillRect(dc, &area, white);
        FrameRect(dc, &area, outline);
        DeleteObject(outline);
        DeleteObject(white);
    }
};

} // namespace

bool Win32RegionFrame::start(const std::string& region)
{
    // Never two frames, and never the frame of a former region once the region has changed.
    stop();
    const std::optional<FrameGeometry> place = regionFrameGeometry(region, screen_);
    if (!place)
        return false;
    stopping_ = false;
    thread_ = startWorkerThread([this, place = *place] {
        threadId_ = GetCurrentThreadId();
        FrameWindow window(place);
        while (!stopping_ && window.handle() != nullptr) {
            MsgWaitForMultipleObjectsEx(0, nullptr, kRedrawMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            window.redraw();
        }
    });
    return true;
}

void Win32RegionFrame::stop()
{
    if (!thread_.joinable())
        return;
    stopping_ = true;
    // Wakes the thread's wait at once; it sees the flag, closes its window and ends. The thread
    // is never ended from outside: it would leave its window and GDI objects behind.
    const unsigned long id = threadId_;
    if (id != 0)
        PostThreadMessageW(id, WM_NULL, 0, 0);
    thread_.join();
    threadId_ = 0;
}

} // namespace velmora

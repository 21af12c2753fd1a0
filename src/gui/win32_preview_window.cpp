#include "gui/win32_preview_window.h"

#include "app/program_windows.h"
#include "gui/win32_fonts.h"

#include <commctrl.h>

namespace velmora {
namespace {

constexpr DWORD kStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;

} // namespace

Win32PreviewWindow::Win32PreviewWindow(HWND owner, bool topmost, const std::string& picturePath,
                                       const PreviewSize& clientSize)
{
    const DWORD exStyle = topmost ? WS_EX_TOPMOST : 0;
    const SIZE outer = outerSizeForClient(clientSize.width, clientSize.height, kStyle, exStyle);
    Shape shape;
    shape.exStyle = exStyle;
    shape.style = kStyle;
    shape.x = 0;
    shape.y = 0;
    shape.width = outer.cx;
    shape.height = outer.cy;
    shape.owner = owner;
    const WindowDescription& description = previewWindowDescription();
    if (!create(description.title, shape))
        return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    statusBar_ = addGadget(STATUSCLASSNAMEW, description.gadget(kPreviewStatusGadget)->text,
                           SBARS_SIZEGRIP, 0, 0, 0, 0, kPreviewStatusGadget, gadgetFont());
    view_ = std::make_unique<Win32PictureView>(handle(), picturePath);
    fitPicture();
}

Win32PreviewWindow::~Win32PreviewWindow()
{
    view_.reset();
    destroy();
}

void Win32PreviewWindow::fitPicture()
{
    if (handle() == nullptr)
        return;
    RECT client{};
    GetClientRect(handle(), &client);
    const PreviewSize view = previewBrowserSize({client.right, client.bottom});
    if (view_)
        view_->place(0, 0, view.width, view.height);
    if (statusBar_ != nullptr)
        MoveWindow(statusBar_, 0, view.height, client.right, client.bottom - view.height, TRUE);
}

LRESULT Win32PreviewWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        fitPicture();
        return 0;
    case WM_CLOSE:
        // Hidden only: its owner decides when it goes.
        hide();
        if (closed_)
            closed_();
        return 0;
    default:
        return byDefault(message, wParam, lParam);
    }
}

} // namespace velmora

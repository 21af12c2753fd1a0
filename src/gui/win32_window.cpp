#include "gui/win32_window.h"

#include "app/win32_wide_text.h"

namespace velmora {
namespace {

constexpr wchar_t kClassName[] = L"VelmoraWindow";
// IDC_ARROW as the W function wants it, whether or not UNICODE is defined.
const LPCWSTR kArrowCursor = MAKEINTRESOURCEW(32512);

// One class serves every window of the program: the object behind a window does the rest.
ATOM windowClass(WNDPROC procedure)
{
    static const ATOM atom = [procedure] {
        WNDCLASSEXW description{};
        description.cbSize = sizeof description;
        description.lpfnWndProc = procedure;
        description.hInstance = GetModuleHandleW(nullptr);
        description.hCursor = LoadCursorW(nullptr, kArrowCursor);
        description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        description.lpszClassName = kClassName;
        return RegisterClassExW(&description);
    }();
    return atom;
}

} // namespace

SIZE outerSizeForClient(int width, int height, DWORD style, DWORD exStyle)
{
    RECT rect{0, 0, width, height};
    // Without the menu: where a window has one, it takes its height out of the client area.
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

Win32Window::~Win32Window()
{
    destroy();
}

void Win32Window::destroy()
{
    if (window_ != nullptr) {
        const HWND window = window_;
        DestroyWindow(window); // WM_NCDESTROY clears window_
        window_ = nullptr;
    }
}

bool Win32Window::create(const std::string& title, const Shape& shape)
{
    destroy();
    if (windowClass(&Win32Window::procedure) == 0)
        return false;
    const std::wstring caption = wideFromWindows1252(title);
    CreateWindowExW(shape.exStyle, kClassName, caption.c_str(), shape.style, shape.x, shape.y,
                    shape.width, shape.height, shape.owner, shape.menu, GetModuleHandleW(nullptr),
                    this);
    return window_ != nullptr;
}

void Win32Window::showActive()
{
    if (window_ == nullptr)
        return;
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    SetActiveWindow(window_);
}

void Win32Window::hide()
{
    if (window_ != nullptr)
        ShowWindow(window_, SW_HIDE);
}

HWND Win32Window::addGadget(const wchar_t* windowClass, const std::string& text, DWORD style, int x,
                            int y, int width, int height, int id, HFONT font, DWORD exStyle)
{
    const std::wstring caption = wideFromWindows1252(text);
    HWND gadget =
        CreateWindowExW(exStyle, windowClass, caption.c_str(), WS_CHILD | WS_VISIBLE | style, x, y,
                        width, height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleW(nullptr), nullptr);
    if (gadget != nullptr && font != nullptr)
        SendMessageW(gadget, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return gadget;
}

LRESULT Win32Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return byDefault(message, wParam, lParam);
}

LRESULT Win32Window::byDefault(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32Window*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The object may outlive its window (the system destroys owned windows with their
        // owner): from now on it has none.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->onMessage(message, wParam, lParam);
}

std::string gadgetText(HWND gadget)
{
    const int length = GetWindowTextLengthW(gadget);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(gadget, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return windows1252FromWide(text);
}

void setGadgetText(HWND gadget, const std::string& text)
{
    const std::wstring wide = wideFromWindows1252(text);
    SetWindowTextW(gadget, wide.c_str());
}

} // namespace velmora

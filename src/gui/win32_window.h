#pragma once
// One window of the program on Win32: created with a client area of a given size, its messages
// handed to the object that owns it, destroyed with that object. Gadgets are child windows
// placed in client pixels, carrying the ids by which their clicks come back.

#include <windows.h>

#include <string>

namespace velmora {

// The outer size of a window whose client area (below a menu bar, if any) has the given size.
SIZE outerSizeForClient(int width, int height, DWORD style, DWORD exStyle);

class Win32Window {
public:
    Win32Window() = default;
    virtual ~Win32Window();
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Null before creation and once the system destroyed the window (with its owner, say).
    HWND handle() const { return window_; }
    bool visible() const { return window_ != nullptr && IsWindowVisible(window_); }
    // Shows the window, brings it to the front and gives it the keyboard.
    void showActive();
    void hide();

    // A child gadget in client pixels with the given font; text is Windows-1252.
    HWND addGadget(const wchar_t* windowClass, const std::string& text, DWORD style, int x, int y,
                   int width, int height, int id, HFONT font, DWORD exStyle = 0);

protected:
    struct Shape {
        DWORD exStyle = 0;
        DWORD style = WS_OVERLAPPED;
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        int width = CW_USEDEFAULT; // outer size
        int height = CW_USEDEFAULT;
        HWND owner = nullptr;
        HMENU menu = nullptr;
    };
    // title is Windows-1252. False when the window could not be made.
    bool create(const std::string& title, const Shape& shape);
    void destroy();

    // Every message of the window; what is not handled goes to byDefault.
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT byDefault(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};

// A gadget's text as Windows-1252, and back.
std::string gadgetText(HWND gadget);
void setGadgetText(HWND gadget, const std::string& text);

} // namespace velmora

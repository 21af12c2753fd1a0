#include "x11_colour_square.h"

#include <X11/Xlib.h>

#include <stdexcept>

namespace velmora::bench {

struct X11ColourSquare::Window {
    explicit Window(const std::string& name) : display(XOpenDisplay(name.c_str()))
    {
        if (!display)
            throw std::runtime_error("cannot reach the display " + name);
    }
    ~Window() { XCloseDisplay(display); } // the window and its GC go with the connection
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    Display* const display;
    ::Window window = 0;
    GC gc = nullptr;
    unsigned width = 0;
    unsigned height = 0;
};

X11ColourSquare::X11ColourSquare(const std::string& display, const test::ScreenArea& area)
    : window_(std::make_unique<Window>(display))
{
    Display* d = window_->display;
    const int screen = DefaultScreen(d);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(d, screen);
    // No window manager may move it or add a frame: the measure relies on its exact place.
    attributes.override_redirect = True;
    window_->width = static_cast<unsigned>(area.width);
    window_->height = static_cast<unsigned>(area.height);
    window_->window = XCreateWindow(d, RootWindow(d, screen), area.left, area.top, window_->width,
                                    window_->height, 0, 24, InputOutput, CopyFromParent,
                                    CWBackPixel | CWOverrideRedirect, &attributes);
    XStoreName(d, window_->window, "changing square");
    window_->gc = XCreateGC(d, window_->window, 0, nullptr);
    XMapRaised(d, window_->window);
    XSync(d, False);
}

X11ColourSquare::~X11ColourSquare() = default;

void X11ColourSquare::show(std::uint32_t rgb)
{
    Display* d = window_->display;
    // A 24-bit TrueColor screen (Xvfb's) takes the colour as its pixel value. Exposures show
    // the colour of now, not the first one.
    XSetWindowBackground(d, window_->window, rgb);
    XSetForeground(d, window_->gc, rgb);
    XFillRectangle(d, window_->window, window_->gc, 0, 0, window_->width, window_->height);
    // XSync waits for the server's answer, which comes after it has drawn the rectangle.
    XSync(d, False);
}

} // namespace velmora::bench

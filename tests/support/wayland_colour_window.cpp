// A window of one colour at a given place of the X screen, painted again every tenth of a second
// until it is killed. On a Wayland desktop it runs through Xwayland; the repainting matters
// there, since the desktop shares a frame only when something was drawn.
//   wayland_colour_window LEFT TOP WIDTH HEIGHT RRGGBB

#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s LEFT TOP WIDTH HEIGHT RRGGBB\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    XColor colour{};
    if (!XParseColor(display, DefaultColormap(display, screen),
                     (std::string("#") + argv[5]).c_str(), &colour) ||
        !XAllocColor(display, DefaultColormap(display, screen), &colour)) {
        std::fprintf(stderr, "bad colour %s\n", argv[5]);
        return 1;
    }
    const unsigned width = static_cast<unsigned>(std::atoi(argv[3]));
    const unsigned height = static_cast<unsigned>(std::atoi(argv[4]));
    XSetWindowAttributes attributes{};
    attributes.background_pixel = colour.pixel;
    // Placed exactly where asked: no window manager may move or frame it.
    attributes.override_redirect = True;
    const Window window =
        XCreateWindow(display, RootWindow(display, screen), std::atoi(argv[1]), std::atoi(argv[2]),
                      width, height, 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWBackPixel | CWOverrideRedirect, &attributes);
    XMapRaised(display, window);
    GC gc = XCreateGC(display, window, 0, nullptr);
    XSetForeground(display, gc, colour.pixel);
    for (;;) {
        XFillRectangle(display, window, gc, 0, 0, width, height);
        XFlush(display);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// Shows one window of a single colour at a given place of the X screen until it is killed, so
// that a test knows exactly what that part of the presenter's screen looks like.
//   colour_window LEFT TOP WIDTH HEIGHT RRGGBB TITLE

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s LEFT TOP WIDTH HEIGHT RRGGBB TITLE\n", argv[0]);
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
    XSetWindowAttributes attributes{};
    attributes.background_pixel = colour.pixel;
    // No window manager may move it or add a frame: the test relies on its exact place.
    attributes.override_redirect = True;
    const Window window = XCreateWindow(
        display, RootWindow(display, screen), std::atoi(argv[1]), std::atoi(argv[2]),
        static_cast<unsigned>(std::atoi(argv[3])), static_cast<unsigned>(std::atoi(argv[4])), 0,
        CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect, &attributes);
    XStoreName(display, window, argv[6]);
    XMapRaised(display, window);
    XSync(display, False);
    // The server paints the background itself on every exposure; nothing else to do.
    for (;;)
        ::pause();
}

// Shows a small window whose colour changes every PERIOD milliseconds until it is killed: a
// presenter's screen that never stands still (a clock, a video), for the scenarios that need
// picture after picture now that a still screen uploads nothing.
//   changing_window LEFT TOP WIDTH HEIGHT PERIOD_MS TITLE

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s LEFT TOP WIDTH HEIGHT PERIOD_MS TITLE\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.override_redirect = True;
    const Window window = XCreateWindow(
        display, RootWindow(display, screen), std::atoi(argv[1]), std::atoi(argv[2]),
        static_cast<unsigned>(std::atoi(argv[3])), static_cast<unsigned>(std::atoi(argv[4])), 0,
        CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect, &attributes);
    XStoreName(display, window, argv[6]);
    XMapRaised(display, window);
    const auto period = std::chrono::milliseconds(std::max(10, std::atoi(argv[5])));
    // A grey that steps through 64 shades: every period the window shows one it did not show
    // the period before.
    for (unsigned long step = 0;; ++step) {
        const unsigned long grey = 64 + (step % 64) * 2;
        XSetWindowBackground(display, window, grey << 16 | grey << 8 | grey);
        XClearWindow(display, window);
        XSync(display, False);
        std::this_thread::sleep_for(period);
    }
}

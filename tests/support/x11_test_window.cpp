// Shows one window at an exact place of the X screen until it is killed, so that a test knows
// what that part of the presenter's screen looks like:
//   test_window --area LEFT,TOP,WIDTH,HEIGHT [--colour RRGGBB | --changing PERIOD_MS]
//               [--repaint PERIOD_MS] [--title TITLE]
// --colour: one colour (black without it). --changing: a grey that steps on every period, a
// screen that never stands still (a clock, a video) now that a still screen uploads nothing.
// --repaint: the colour drawn again every period; a Wayland desktop (through Xwayland) shares a
// frame only when something was drawn. Without a title the window has no name.

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

struct Options {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string colour;
    int changeEveryMs = 0;
    int repaintEveryMs = 0;
    std::string title;
};

bool readArea(const char* text, Options& options)
{
    char end = 0;
    return std::sscanf(text, "%d,%d,%d,%d%c", &options.left, &options.top, &options.width,
                       &options.height, &end) == 4 &&
           options.width > 0 && options.height > 0;
}

bool readPeriod(const char* text, int& periodMs)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value <= 0 || value > 60'000)
        return false;
    periodMs = static_cast<int>(value);
    return true;
}

bool readOptions(int argc, char** argv, Options& options)
{
    bool hasArea = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        bool good = true;
        if (name == "--area")
            good = hasArea = readArea(value, options);
        else if (name == "--colour")
            options.colour = value;
        else if (name == "--changing")
            good = readPeriod(value, options.changeEveryMs);
        else if (name == "--repaint")
            good = readPeriod(value, options.repaintEveryMs);
        else if (name == "--title")
            options.title = value;
        else
            good = false;
        if (!good)
            return false;
    }
    // Every option takes a value; a colour and a changing grey exclude each other.
    return argc % 2 == 1 && hasArea && (options.colour.empty() || options.changeEveryMs == 0);
}

// The grey of a step: 64 shades, each different from the one before.
unsigned long greyPixel(unsigned long step)
{
    const unsigned long grey = 64 + (step % 64) * 2;
    return grey << 16 | grey << 8 | grey;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!readOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s --area LEFT,TOP,WIDTH,HEIGHT [--colour RRGGBB | --changing "
                     "PERIOD_MS] [--repaint PERIOD_MS] [--title TITLE]\n",
                     argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    unsigned long pixel = BlackPixel(display, screen);
    if (options.changeEveryMs > 0) {
        pixel = greyPixel(0);
    } else if (!options.colour.empty()) {
        XColor colour{};
        if (!XParseColor(display, DefaultColormap(display, screen), ("#" + options.colour).c_str(),
                         &colour) ||
            !XAllocColor(display, DefaultColormap(display, screen), &colour)) {
            std::fprintf(stderr, "bad colour %s\n", options.colour.c_str());
            return 1;
        }
        pixel = colour.pixel;
    }
    const unsigned width = static_cast<unsigned>(options.width);
    const unsigned height = static_cast<unsigned>(options.height);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = pixel;
    // No window manager may move it or add a frame: the test relies on its exact place.
    attributes.override_redirect = True;
    const Window window = XCreateWindow(
        display, RootWindow(display, screen), options.left, options.top, width, height, 0,
        CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect, &attributes);
    if (!options.title.empty())
        XStoreName(display, window, options.title.c_str());
    XMapRaised(display, window);
    XSync(display, False);

    const int periodMs =
        options.changeEveryMs > 0 ? std::max(10, options.changeEveryMs) : options.repaintEveryMs;
    if (periodMs == 0) {
        // The server paints the background itself on every exposure; nothing else to do.
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    }
    GC gc = XCreateGC(display, window, 0, nullptr);
    for (unsigned long step = 0;; ++step) {
        if (options.changeEveryMs > 0) {
            pixel = greyPixel(step);
            // Exposures show the grey of now, not the first one.
            XSetWindowBackground(display, window, pixel);
        }
        XSetForeground(display, gc, pixel);
        XFillRectangle(display, window, gc, 0, 0, width, height);
        XSync(display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
    }
}

#include "xvfb_display.h"

#include "support/virtual_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

namespace velmora::test {

struct XvfbDisplay::Connection {
    Display* display = nullptr;
    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }
};

XvfbDisplay::XvfbDisplay(int width, int height)
{
    try {
        server_ = std::make_unique<VirtualDisplay>(width, height);
    } catch (const std::exception&) {
        return; // not running: the tests that need it say so
    }
    name_ = server_->name();
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(name_.c_str());
    if (connection->display)
        connection_ = std::move(connection);
}

XvfbDisplay::~XvfbDisplay() = default;

void XvfbDisplay::showOnRoot(const RgbPicture& picture)
{
    if (!connection_)
        return;
    Display* d = connection_->display;
    const int screen = DefaultScreen(d);
    const Window root = RootWindow(d, screen);
    const int w = picture.width(), h = picture.height();

    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = picture.row(y) + 3 * x;
            pixels[static_cast<std::size_t>(y) * w + x] =
                std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
        }
    XImage* image = XCreateImage(d, DefaultVisual(d, screen), 24, ZPixmap, 0,
                                 reinterpret_cast<char*>(pixels.data()), w, h, 32, 0);
    const Pixmap pixmap = XCreatePixmap(d, root, w, h, 24);
    GC gc = XCreateGC(d, pixmap, 0, nullptr);
    XPutImage(d, pixmap, gc, image, 0, 0, 0, 0, w, h);
    XFreeGC(d, gc);
    image->data = nullptr; // the pixels belong to the vector
    XDestroyImage(image);
    XSetWindowBackgroundPixmap(d, root, pixmap);
    XClearWindow(d, root);
    XFreePixmap(d, pixmap); // the root keeps its background
    XSync(d, False);
}

void XvfbDisplay::movePointer(int x, int y)
{
    if (!connection_)
        return;
    Display* d = connection_->display;
    XWarpPointer(d, 0, RootWindow(d, DefaultScreen(d)), 0, 0, 0, 0, x, y);
    XSync(d, False);
}

} // namespace velmora::test

#include "xvfb_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

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
    // Xvfb chooses a free display number itself and writes it to the pipe once it accepts
    // clients, so no number is guessed and no waiting is timed.
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string screen = "0";
    std::string geometry = std::to_string(width) + "x" + std::to_string(height) + "x24";
    std::vector<std::string> args = {"Xvfb", "-displayfd", "3",         "-screen",
                                     screen, geometry,     "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    if (spawned != 0) {
        pid_ = -1;
        close(ready[0]);
        return;
    }
    std::string number;
    char c;
    while (read(ready[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ready[0]);
    if (number.empty())
        return;
    name_ = ":" + number;
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(name_.c_str());
    if (connection->display)
        connection_ = std::move(connection);
}

XvfbDisplay::~XvfbDisplay()
{
    connection_.reset();
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

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

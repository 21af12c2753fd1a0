#include "support/virtual_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace velmora::test {

struct VirtualDisplay::Connection {
    explicit Connection(Display* opened) : display(opened) {}
    ~Connection() { XCloseDisplay(display); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* const display;
};

VirtualDisplay::VirtualDisplay(int width, int height)
{
    start(width, height);
}

VirtualDisplay::VirtualDisplay(std::nothrow_t, int width, int height) noexcept
{
    try {
        start(width, height);
    } catch (const std::exception&) {
        // not running: the caller says so
    }
}

void VirtualDisplay::start(int width, int height)
{
    // Xvfb picks a free display number itself and writes it to the pipe only once it accepts
    // clients: no number is guessed, so parallel tests cannot race for one, and nobody connects
    // to a server that is still starting.
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe for the virtual display");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // -noreset: by default the server resets when its last client leaves, and a client that
    // connects in that moment is thrown out ("could not connect to display"); a test that ends
    // the program and starts it again meets exactly that moment.
    std::vector<std::string> args = {"Xvfb",
                                     "-displayfd",
                                     "3",
                                     "-noreset",
                                     "-screen",
                                     "0",
                                     std::to_string(width) + "x" + std::to_string(height) + "x24",
                                     "-nolisten",
                                     "tcp"};
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int spawned = ::posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ready[1]);
    if (spawned != 0) {
        ::close(ready[0]);
        pid_ = -1;
        throw std::runtime_error("Xvfb cannot be started");
    }

    std::string number;
    pollfd wait{ready[0], POLLIN, 0};
    char c = 0;
    while (::poll(&wait, 1, 30'000) > 0 && ::read(ready[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(ready[0]);
    if (number.empty()) {
        stop();
        throw std::runtime_error("no virtual display could be started");
    }
    name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay()
{
    connection_.reset();
    stop();
}

void VirtualDisplay::stop()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

VirtualDisplay::Connection* VirtualDisplay::connection()
{
    if (!connection_ && running())
        if (Display* display = XOpenDisplay(name_.c_str()))
            connection_ = std::make_unique<Connection>(display);
    return connection_.get();
}

bool VirtualDisplay::showOnRoot(const RgbPicture& picture)
{
    Connection* connection = this->connection();
    if (!connection)
        return false;
    Display* d = connection->display;
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
    return true;
}

bool VirtualDisplay::fillOnRoot(int x, int y, int width, int height, std::uint32_t rgb)
{
    Connection* connection = this->connection();
    if (!connection)
        return false;
    Display* d = connection->display;
    const Window root = RootWindow(d, DefaultScreen(d));
    GC gc = XCreateGC(d, root, 0, nullptr);
    XSetForeground(d, gc, rgb);
    XSetSubwindowMode(d, gc, IncludeInferiors);
    XFillRectangle(d, root, gc, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFreeGC(d, gc);
    XSync(d, False);
    return true;
}

bool VirtualDisplay::movePointer(int x, int y)
{
    Connection* connection = this->connection();
    if (!connection)
        return false;
    Display* d = connection->display;
    XWarpPointer(d, 0, RootWindow(d, DefaultScreen(d)), 0, 0, 0, 0, x, y);
    XSync(d, False);
    return true;
}

} // namespace velmora::test

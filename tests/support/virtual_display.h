#pragma once
// A private X display (Xvfb) for one test or benchmark, on a number the server picks itself; gone
// when the object goes. Its root window can show a picture of the caller's choosing, and the
// pointer can be put anywhere on it.

#include "png/rgb_picture.h"

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <sys/types.h>

namespace velmora::test {

class VirtualDisplay {
public:
    // Throws when no server could be started.
    VirtualDisplay(int width = 1024, int height = 768);
    // Not running when no server could be started, for callers that report it themselves.
    VirtualDisplay(std::nothrow_t, int width, int height) noexcept;
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool running() const { return !name_.empty(); }
    const std::string& name() const { return name_; } // ":N"

    // The picture (at most the screen's size) becomes the root window's background. False when
    // the display could not be reached.
    bool showOnRoot(const RgbPicture& picture);
    // Paints a rectangle straight onto the screen, as a window drawing there would.
    bool fillOnRoot(int x, int y, int width, int height, std::uint32_t rgb);
    bool movePointer(int x, int y);

private:
    struct Connection;
    void start(int width, int height);
    Connection* connection(); // opened on first use: most users only pass the name on
    void stop();

    std::string name_;
    pid_t pid_ = -1;
    std::unique_ptr<Connection> connection_; // closed before the server stops
};

} // namespace velmora::test

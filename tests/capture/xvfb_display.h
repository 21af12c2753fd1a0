#pragma once
// A private Xvfb server for tests and benchmarks, on a display number it picks itself, with a
// root window showing a picture of our choosing. Stopped when the object goes.

#include "capture/rgb_picture.h"

#include <memory>
#include <string>

namespace velmora::test {

class VirtualDisplay;

class XvfbDisplay {
public:
    XvfbDisplay(int width, int height);
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    bool running() const { return connection_ != nullptr; }
    const std::string& name() const { return name_; } // ":N"

    // The picture (at most the screen's size) becomes the root window's background.
    void showOnRoot(const RgbPicture& picture);
    void movePointer(int x, int y);

private:
    struct Connection;
    std::unique_ptr<VirtualDisplay> server_; // declared first: it outlives the connection
    std::string name_;
    std::unique_ptr<Connection> connection_;
};

} // namespace velmora::test

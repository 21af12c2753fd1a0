#pragma once
// A square of one colour at an exact place of an X display, drawn by this process on a connection
// of its own, so that the caller knows the moment the new colour is on the screen.

#include "support/test_window.h" // tests/support

#include <cstdint>
#include <memory>
#include <string>

namespace velmora::bench {

class X11ColourSquare {
public:
    // Throws when the display cannot be reached. The square is raised above what is there.
    X11ColourSquare(const std::string& display, const test::ScreenArea& area);
    ~X11ColourSquare();
    X11ColourSquare(const X11ColourSquare&) = delete;
    X11ColourSquare& operator=(const X11ColourSquare&) = delete;

    // Returns once the X server has drawn the colour (0xRRGGBB) into the screen.
    void show(std::uint32_t rgb);

private:
    struct Window;
    std::unique_ptr<Window> window_;
};

} // namespace velmora::bench

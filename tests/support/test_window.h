#pragma once
// The test window program (x11_test_window.cpp): one window at an exact place of an X screen,
// showing what a test needs that part of the presenter's screen to show.

#include <string>
#include <vector>

namespace velmora::test {

struct ScreenArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct TestWindow {
    ScreenArea area;
    std::string colour;     // RRGGBB; black when empty and not changing
    int changeEveryMs = 0;  // > 0: a grey that steps on every period instead of a colour
    int repaintEveryMs = 0; // > 0: the colour drawn again every period
    std::string title;      // the window's name; none when empty
};

// The command line that shows the window until the program is killed.
std::vector<std::string> testWindowCommand(const TestWindow& window);

} // namespace velmora::test

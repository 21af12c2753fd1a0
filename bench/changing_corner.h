#pragma once
// A small part of the benchmark's screen that changes all the time, like a clock on a document:
// the program sends nothing for a still screen, so a throughput measure needs every cycle to
// have a new picture, and this is the least a picture can change by.

#include "support/launched_program.h" // tests/support
#include "support/test_window.h"      // tests/support

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora::bench {

class ChangingCorner {
public:
    // Shows a 240 x 48 window at left, top of the display that changes every tickMs (at least
    // 10) milliseconds.
    ChangingCorner(const std::string& display, int left, int top, int tickMs = 10)
        : process_(std::make_unique<test::LaunchedProgram>(
              command(left, top, tickMs), std::map<std::string, std::string>{{"DISPLAY", display}}))
    {
    }

private:
    static std::vector<std::string> command(int left, int top, int tickMs)
    {
        test::TestWindow corner;
        corner.area = {left, top, 240, 48};
        corner.changeEveryMs = tickMs;
        corner.title = "changing corner";
        return test::testWindowCommand(corner);
    }

    std::unique_ptr<test::LaunchedProgram> process_;
};

} // namespace velmora::bench

#pragma once
// A small part of the benchmark's screen that changes all the time, like a clock on a document:
// the program sends nothing for a still screen, so a throughput measure needs every cycle to
// have a new picture, and this is the least a picture can change by.

#include "support/launched_program.h" // tests/support

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora::bench {

class ChangingCorner {
public:
    // Shows a 240 x 48 window at left, top of the display that repaints every 10 ms.
    ChangingCorner(const std::string& display, int left, int top)
        : process_(std::make_unique<test::LaunchedProgram>(
              std::vector<std::string>{CHANGING_WINDOW_BINARY, std::to_string(left),
                                       std::to_string(top), "240", "48", "10", "changing corner"},
              std::map<std::string, std::string>{{"DISPLAY", display}}))
    {
    }

private:
    std::unique_ptr<test::LaunchedProgram> process_;
};

} // namespace velmora::bench

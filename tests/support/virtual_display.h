#pragma once
// A private X display (Xvfb) for one test: its own number, gone when the test ends.

#include "support/launched_program.h"

#include <memory>
#include <string>

namespace velmora::test {

class VirtualDisplay {
public:
    VirtualDisplay(int width = 1024, int height = 768);
    const std::string& name() const { return name_; } // ":N"

private:
    std::string name_;
    std::unique_ptr<LaunchedProgram> server_;
};

} // namespace velmora::test

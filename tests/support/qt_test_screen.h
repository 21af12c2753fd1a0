#pragma once
// Where a Qt application of the tests or benchmarks draws: off screen, or real X11 windows on a
// private virtual display. Either way with a runtime folder of its own, so that parallel runs
// share no sockets or locks there. Set up before the application object is made, kept until it
// is gone.

#include "support/temporary_folder.h"
#include "support/virtual_display.h"

#include <memory>
#include <string>

namespace velmora::test {

enum class QtScreenKind { Offscreen, VirtualDisplay };

class QtTestScreen {
public:
    // Off screen, a QT_QPA_PLATFORM already set (by ctest, or by a developer who wants to watch)
    // is kept.
    explicit QtTestScreen(QtScreenKind kind, int width = 1024, int height = 768);
    ~QtTestScreen();
    QtTestScreen(const QtTestScreen&) = delete;
    QtTestScreen& operator=(const QtTestScreen&) = delete;

    // The private display (":N"); empty off screen.
    const std::string& displayName() const;

private:
    TemporaryFolder runtimeFolder_;
    std::unique_ptr<VirtualDisplay> display_;
};

// The display of the screen the tests' application was set up on; empty off screen or before.
const std::string& qtTestDisplayName();

} // namespace velmora::test

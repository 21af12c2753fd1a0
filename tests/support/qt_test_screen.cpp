#include "support/qt_test_screen.h"

#include <cstdlib>

namespace velmora::test {
namespace {

const QtTestScreen* current = nullptr;

} // namespace

QtTestScreen::QtTestScreen(QtScreenKind kind, int width, int height)
{
    // Qt refuses a runtime folder that others may enter; a fresh temporary folder is private.
    setenv("XDG_RUNTIME_DIR", runtimeFolder_.path().c_str(), 1);
    if (kind == QtScreenKind::Offscreen) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    } else {
        display_ = std::make_unique<VirtualDisplay>(width, height);
        setenv("DISPLAY", display_->name().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        unsetenv("WAYLAND_DISPLAY");
    }
    current = this;
}

QtTestScreen::~QtTestScreen()
{
    if (current == this)
        current = nullptr;
}

const std::string& QtTestScreen::displayName() const
{
    static const std::string none;
    return display_ ? display_->name() : none;
}

const std::string& qtTestDisplayName()
{
    static const std::string none;
    return current ? current->displayName() : none;
}

} // namespace velmora::test

#pragma once
// The changes of an X11 screen as the X server reports them: DAMAGE on the root window (every
// drawing anywhere on the screen, with its rectangles) and XInput 2's raw pointer motion. The
// watch has a connection and a thread of its own, so that reports arrive while the GUI thread
// sleeps in its event loop.

#include "screen/screen_changes.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

class X11ScreenChanges final : public ScreenChangeWatch {
public:
    // Null when the display cannot be opened or has no DAMAGE. An empty name means $DISPLAY.
    static std::unique_ptr<X11ScreenChanges> start(const std::string& displayName,
                                                   std::function<void()> onChange);
    ~X11ScreenChanges() override;
    X11ScreenChanges(const X11ScreenChanges&) = delete;
    X11ScreenChanges& operator=(const X11ScreenChanges&) = delete;

    ScreenChanges take() override;
    // Whether pointer moves are reported (XInput 2 present); without, only drawing is.
    bool reportsPointer() const;

    struct Impl; // only start() can make one
    explicit X11ScreenChanges(std::unique_ptr<Impl> impl);

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace velmora

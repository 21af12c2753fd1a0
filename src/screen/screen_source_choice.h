#pragma once
// Which screen the capture reads, decided once at start-up: on a Wayland desktop the monitor its
// ScreenCast portal shares, elsewhere the X11 screen as always. A Wayland desktop that shares
// nothing still gets the X11 screen (the program's windows live there), marked unreadable so
// that no presentation ever sends its black pictures.

#include "screen/screen_source.h"

#include <memory>
#include <string>

namespace velmora {

// From $WAYLAND_DISPLAY and $XDG_SESSION_TYPE (either may be null).
bool isWaylandSession(const char* waylandDisplay, const char* sessionType);

struct ScreenChoice {
    std::unique_ptr<ScreenSource> source;
    // One line about the choice, for the log.
    std::string note;
};

// GUI thread, with the Qt application made; blocks while the desktop asks the presenter.
// workFolder ends with "/" and holds the restore token.
ScreenChoice chooseScreenSource(const std::string& workFolder);

} // namespace velmora

#pragma once
// A window of one known colour on the session's screen, for as long as this object lives: what
// the presenter shows, so that the spectator's view can be compared with it.

#include "support/desktop_session.h"
#include "support/test_window.h"

#include <cstdio>
#include <memory>
#include <string>

namespace velmora::test {

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;
};

class ColouredWindow {
public:
    ColouredWindow(DesktopSession& session, const ScreenArea& area, const Colour& colour)
    {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02x%02x%02x", colour.red, colour.green, colour.blue);
        process_ = session.showTestWindow(
            {.area = area, .colour = hex, .title = std::string("colour ") + hex});
    }

private:
    std::unique_ptr<LaunchedProgram> process_;
};

} // namespace velmora::test

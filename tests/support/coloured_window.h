#pragma once
// A window of one known colour on the session's screen, for as long as this object lives: what
// the presenter shows, so that the spectator's view can be compared with it.

#include "support/desktop_session.h"
#include "support/test_window.h"

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

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
        const std::string title = std::string("colour ") + hex;
        process_ = std::make_unique<LaunchedProgram>(
            testWindowCommand({.area = area, .colour = hex, .title = title}),
            std::map<std::string, std::string>{{"DISPLAY", session.displayName()}});
        if (!session.waitForWindow(title, std::chrono::seconds(10)))
            throw std::runtime_error("the coloured window did not show");
    }

private:
    std::unique_ptr<LaunchedProgram> process_;
};

} // namespace velmora::test

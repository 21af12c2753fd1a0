#pragma once
// A part of the session's screen that changes all the time, for as long as this object lives:
// a presenter who shows something moving, so that every cycle has a new picture to upload.

#include "support/desktop_session.h"
#include "support/test_window.h"

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

namespace velmora::test {

class ChangingScreen {
public:
    ChangingScreen(DesktopSession& session, const ScreenArea& area,
                   std::chrono::milliseconds period = std::chrono::milliseconds(100))
    {
        const std::string title = "changing screen";
        process_ = std::make_unique<LaunchedProgram>(
            testWindowCommand(
                {.area = area, .changeEveryMs = static_cast<int>(period.count()), .title = title}),
            std::map<std::string, std::string>{{"DISPLAY", session.displayName()}});
        if (!session.waitForWindow(title, std::chrono::seconds(10)))
            throw std::runtime_error("the changing window did not show");
    }

private:
    std::unique_ptr<LaunchedProgram> process_;
};

} // namespace velmora::test

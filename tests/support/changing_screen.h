#pragma once
// A part of the session's screen that changes all the time, for as long as this object lives:
// a presenter who shows something moving, so that every cycle has a new picture to upload.

#include "support/desktop_session.h"
#include "support/test_window.h"

#include <chrono>
#include <memory>

namespace velmora::test {

class ChangingScreen {
public:
    ChangingScreen(DesktopSession& session, const ScreenArea& area,
                   std::chrono::milliseconds period = std::chrono::milliseconds(100))
        : process_(session.showTestWindow({.area = area,
                                           .changeEveryMs = static_cast<int>(period.count()),
                                           .title = "changing screen"}))
    {
    }

private:
    std::unique_ptr<LaunchedProgram> process_;
};

} // namespace velmora::test

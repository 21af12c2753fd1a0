#pragma once
// The real program on a session's screen, driven with its main window's buttons as a presenter
// drives it. Its steps report through the test's assertions; a test that goes on after a step
// wraps it in ASSERT_NO_FATAL_FAILURE.

#include "support/desktop_session.h"

#include <map>
#include <memory>
#include <string>

namespace velmora::test {

class ProgramOnScreen {
public:
    // Nothing runs yet: open() starts the program. logName: its output below the session's
    // folder; extraEnvironment: variables for this run only.
    explicit ProgramOnScreen(DesktopSession& session, std::string logName = "velmora.log",
                             std::map<std::string, std::string> extraEnvironment = {});

    // Starts the program and waits for its main window; a fatal failure, with what the program
    // wrote, when none shows within 15 s.
    void open();
    // open(), the messages of the start closed (the welcome message), then Start clicked; a fatal
    // failure unless the start message shows within 10 s. It stays open for the test to answer.
    void startPresentation();
    // Clicks a button of the main window (kStartX, kStopX, kClearX, kExitX).
    void click(int buttonX);
    // Clicks Exit; a fatal failure unless the program ends within 15 s, a failure unless it
    // ends with exit code 0.
    void exit();

    const WindowInfo& mainWindow() const { return main_; }
    LaunchedProgram& process() { return *process_; }

private:
    DesktopSession& session_;
    std::string logName_;
    std::map<std::string, std::string> extraEnvironment_;
    std::unique_ptr<LaunchedProgram> process_;
    WindowInfo main_;
};

} // namespace velmora::test

#include "support/program_on_screen.h"

#include <gtest/gtest.h>

#include <utility>

namespace velmora::test {

using namespace std::chrono_literals;

ProgramOnScreen::ProgramOnScreen(DesktopSession& session, std::string logName,
                                 std::map<std::string, std::string> extraEnvironment)
    : session_(session), logName_(std::move(logName)),
      extraEnvironment_(std::move(extraEnvironment))
{
}

void ProgramOnScreen::open()
{
    process_ = session_.startProgram(logName_, extraEnvironment_);
    const auto main = session_.waitForMainWindow(session_.startLimit());
    ASSERT_TRUE(main) << "no main window; running: " << process_->running() << "\n"
                      << session_.describeWindows() << "\n"
                      << session_.log(logName_);
    main_ = *main;
}

void ProgramOnScreen::startPresentation()
{
    ASSERT_NO_FATAL_FAILURE(open());
    session_.closeMessageBoxes(10s);
    click(kStartX);
    ASSERT_TRUE(session_.waitForMessageBox("Velmora", 10s)) << "no start message";
}

void ProgramOnScreen::click(int buttonX)
{
    session_.click(main_, buttonX, kButtonRowY);
}

void ProgramOnScreen::exit()
{
    ASSERT_TRUE(process_) << "the program was never started";
    click(kExitX);
    const auto code = process_->waitFor(15s);
    ASSERT_TRUE(code) << "Exit did not end the program";
    EXPECT_EQ(*code, 0);
}

} // namespace velmora::test

// The presenter's FTP server goes away during a running presentation. A short outage within the
// retry time passes unnoticed and the presentation goes on; a long one stops it with an error
// message, and it stays stopped until the presenter starts it again.

#include "support/changing_screen.h"
#include "support/desktop_session.h"
#include "support/presentation_site.h"
#include "support/program_on_screen.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <iostream>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

constexpr int kRetrySeconds = 10;

// The picture names published so far, in order ("Velmora2.png", ...): a picture is uploaded
// under a temporary name and then renamed onto its own ("RENAMED <from> <to>" in the log).
std::vector<std::string> uploadedPictures(const PresentationSite& site)
{
    std::vector<std::string> names;
    for (const auto& line : site.ftp.log({"RENAMED"})) {
        const auto at = line.rfind("/Velmora");
        if (at != std::string::npos && line.size() > 4 &&
            line.compare(line.size() - 4, 4, ".png") == 0)
            names.push_back(line.substr(at + 1));
    }
    return names;
}

TEST(OutageBlackBox, ShortOutageIsSilentLongOneStopsWithAnErrorUntilStartedAgain)
{
    PresentationSite site("show/");
    DesktopSession session;
    session.writePreferences(site.preferences(1, 500, kRetrySeconds));
    // Something moves on the screen: a still one would give one picture and then none.
    const ChangingScreen moving(session, {900, 700, 60, 40});
    ProgramOnScreen program(session);
    ASSERT_NO_FATAL_FAILURE(program.startPresentation());
    session.closeMessageBoxes(10s);
    ASSERT_TRUE(waitUntil(30s, [&] { return site.uploadsOf("Velmora.htm") >= 2; }))
        << session.log();

    // Down for a few seconds, well inside the retry time: cycles fail, nobody is told.
    site.ftp.stop();
    std::this_thread::sleep_for(3s);
    site.ftp.restart();
    const int before = site.uploadsOf("Velmora.htm");
    bool errorShown = false;
    EXPECT_TRUE(waitUntil(30s, [&] {
        errorShown = errorShown || !session.messageBoxes("Fehler").empty();
        return errorShown || site.uploadsOf("Velmora.htm") >= before + 3;
    })) << "the presentation did not go on after the server came back";
    EXPECT_FALSE(errorShown) << "a short outage was reported";
    ASSERT_TRUE(session.messageBoxes("Fehler").empty());
    // A failed cycle keeps its picture name for the next try: one name twice in a row shows
    // that the outage did meet the presentation.
    const auto names = uploadedPictures(site);
    bool repeated = false;
    for (std::size_t i = 1; i < names.size(); ++i)
        repeated = repeated || names[i] == names[i - 1];
    EXPECT_TRUE(repeated) << "no cycle failed during the outage";

    // Down for longer than the retry time: the error message, and the presentation stops.
    site.ftp.stop();
    const auto down = std::chrono::steady_clock::now();
    const auto error = session.waitForMessageBox("Fehler", std::chrono::seconds(4 * kRetrySeconds));
    ASSERT_TRUE(error) << "no error message after a long outage\n" << session.describeWindows();
    std::cout << "the error message came "
              << std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - down)
                     .count()
              << " ms after the server went down (retry time " << kRetrySeconds << " s)\n";
    session.pressKey("Return");
    ASSERT_TRUE(waitUntil(10s, [&] { return session.messageBoxes("Fehler").empty(); }));
    site.ftp.restart();
    site.ftp.clearLog();
    std::this_thread::sleep_for(4s); // several cycles' time, were it still running
    EXPECT_TRUE(site.ftp.log({"STOR"}).empty()) << "the presentation went on after the error";
    EXPECT_TRUE(session.messageBoxes("Fehler").empty());

    // Start brings it back.
    program.click(kStartX);
    ASSERT_TRUE(session.waitForMessageBox("Velmora", 10s)) << "no start message";
    session.closeMessageBoxes(10s);
    EXPECT_TRUE(waitUntil(30s, [&] { return site.uploadsOf("Velmora.htm") >= 1; }));

    program.exit();
}

} // namespace
} // namespace velmora::test

// The presenter's SFTP server stops answering in the middle of a presentation: stopped, it keeps
// its connections open and takes bytes, but no reply comes. The program reports it with an error
// message within the retry time and its own request limits, as any outage; Clear against the
// still frozen server ends by itself, and Exit then ends the program. Every box is answered with
// its default button.

#include "settings/credential_scrambling.h"
#include "support/changing_screen.h"
#include "support/desktop_session.h"
#include "support/file_bytes.h"
#include "support/program_on_screen.h"
#include "support/sshd_fixture.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kRetrySeconds = 10;
// The program's own limits: connect and login, and each reply of the server.
constexpr auto kConnectLimit = 20s;
constexpr auto kReplyLimit = 30s;
// The request under way meets the frozen server and waits one reply limit; the cycles after it
// fail at the connect limit until the retry time has passed. Room for a busy machine on top.
constexpr auto kErrorBound =
    std::chrono::seconds(kRetrySeconds) + kReplyLimit + 2 * kConnectLimit + 30s;
// Clear's cycles end within their own minute, however the server answers.
constexpr auto kClearBound = 60s + kConnectLimit + 30s;

std::chrono::milliseconds since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}

// The upload count the data page on the server carries; -1 before there is one.
int pageCounter(const std::string& show)
{
    const std::string page =
        fs::exists(show + "Velmora.htm") ? fileBytes(show + "Velmora.htm") : "";
    const auto at = page.find("iNr = '");
    return at == std::string::npos ? -1 : std::atoi(page.c_str() + at + 7);
}

TEST(SftpFrozenServerBlackBox, FrozenServerIsReportedAndClearThenExitEndTheProgram)
{
    Sshd sshd;
    const std::string show = sshd.home() + "/show/";
    fs::create_directories(show);
    DesktopSession session;
    session.writePreferences({"SettingVersion=2", "FTPServerName=" + sshd.serverName(),
                              "FTPUserName=" + EncodeCredential(sshd.user(), kUserNameSelector),
                              "FTPWebDir=", "FTPSubDir=show/", "LizenzSite=http://127.0.0.1/",
                              "PauseSeconds=1", "RemoteMousePointer=1", "Force256=0",
                              "ForceDownscale=0", "AutostartPresentation=0",
                              "ScreenRegion=", "BrowserRefresh=500",
                              "InternetRetryTime=" + std::to_string(kRetrySeconds)});
    // The presenter's own key, where ssh keeps it, and the server's key accepted before.
    fs::create_directories(session.home() + "/.ssh");
    fs::copy_file(sshd.clientKey(), session.home() + "/.ssh/id_ed25519");
    fs::copy_file(sshd.clientKey() + ".pub", session.home() + "/.ssh/id_ed25519.pub");
    writeFileBytes(session.configHome() + "/Velmora/known_hosts", sshd.knownHostsLine());
    // Something moves on the screen: every cycle has a picture to send.
    const ChangingScreen moving(session, {900, 700, 60, 40});

    ProgramOnScreen program(session);
    ASSERT_NO_FATAL_FAILURE(program.startPresentation());
    session.pressKey("Return"); // the start message
    ASSERT_TRUE(waitUntil(30s, [&] { return pageCounter(show) >= 2; }))
        << session.log() << session.describeWindows();
    ASSERT_TRUE(session.messageBoxes("Fehler").empty());

    sshd.freeze();
    const auto frozen = std::chrono::steady_clock::now();
    ASSERT_TRUE(session.waitForMessageBox("Fehler", kErrorBound))
        << "no error message for the frozen server\n"
        << session.describeWindows();
    std::cout << "the error message came " << since(frozen).count()
              << " ms after the server stopped answering (retry time " << kRetrySeconds << " s)\n";
    session.pressKey("Return");
    ASSERT_TRUE(waitUntil(10s, [&] { return session.messageBoxes("Fehler").empty(); }));

    // Clear against the server that still does not answer, and Exit while Clear runs: the click
    // waits for Clear's end, past the error box that Clear's failing cycles show meanwhile.
    program.click(kClearX);
    const auto cleared = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(3s);
    ASSERT_TRUE(program.process().running());
    program.click(kExitX);
    int boxesAnswered = 0;
    const bool ended = waitUntil(
        kClearBound,
        [&] {
            if (!program.process().running())
                return true;
            for (const char* title : {"Velmora", "Information", "Fehler"})
                if (!session.messageBoxes(title).empty()) {
                    session.pressKey("Return");
                    ++boxesAnswered;
                    break;
                }
            return false;
        },
        500ms);
    ASSERT_TRUE(ended) << "Exit during Clear did not end the program\n"
                       << session.describeWindows() << session.log();
    std::cout << "the program ended " << since(cleared).count() << " ms after Clear; "
              << boxesAnswered << " presses of Return for boxes shown meanwhile\n";
    EXPECT_GE(boxesAnswered, 1) << "Clear showed no box after the click on Exit";
    EXPECT_EQ(program.process().waitFor(0ms), 0);
    sshd.thaw();
}

} // namespace
} // namespace velmora::test

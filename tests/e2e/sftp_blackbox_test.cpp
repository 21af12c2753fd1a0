// A whole presentation over SFTP with the real program on a virtual screen: a private sshd takes
// the pictures into a folder that Apache serves to a spectator's headless browser. The first
// cycle asks whether to trust the server's host key (Enter: Yes), the spectator sees the screen
// and follows its change, and Clear blackens the pictures and sends the spectator to the
// presenter's homepage. The program logs in with the presenter's default ed25519 key.

#include "settings/credential_scrambling.h"
#include "support/apache_server_fixture.h"
#include "support/changing_screen.h"
#include "support/coloured_window.h"
#include "support/desktop_session.h"
#include "support/file_bytes.h"
#include "support/headless_browser.h"
#include "support/png_file.h"
#include "support/program_on_screen.h"
#include "support/sshd_fixture.h"
#include "support/viewer_screenshot.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr ScreenArea kShownArea{60, 540, 300, 180};
constexpr Colour kGreen{32, 176, 64};
constexpr Colour kBlue{40, 72, 216};
constexpr char kHomepageColour[] = "#c020c0";

// The presenter's server: sshd's SFTP folder, published by Apache.
struct SftpSite {
    Sshd sshd;
    std::string show = sshd.home() + "/show/";
    std::unique_ptr<ApacheServer> apache;

    SftpSite()
    {
        fs::create_directories(show);
        std::ofstream(sshd.home() + "/home.htm")
            << "<html><body style=\"background:" << kHomepageColour
            << "\"><p>Presenter's homepage</p></body></html>";
        ApacheServer::letServiceUserThrough(fs::path(sshd.home()).parent_path().string());
        apache = std::make_unique<ApacheServer>(sshd.home());
    }

    std::string homepage() const { return apache->url("/home.htm"); }
    // The upload count the data page on the server carries; -1 before there is one.
    int pageCounter() const
    {
        const std::string page = fileBytes(show + "Velmora.htm");
        const auto at = page.find("iNr = '");
        return at == std::string::npos ? -1 : std::atoi(page.c_str() + at + 7);
    }
    bool blackPicture(int number) const
    {
        const auto picture = decodePng(show + "Velmora" + std::to_string(number) + ".png");
        return picture && picture->width == 1024 && allBlack(*picture);
    }

    std::vector<std::string> preferences() const
    {
        return {"SettingVersion=2",
                "FTPServerName=" + sshd.serverName(),
                "FTPUserName=" + EncodeCredential(sshd.user(), kUserNameSelector),
                "FTPWebDir=",
                "FTPSubDir=show/",
                "LizenzSite=" + homepage(),
                "PauseSeconds=1",
                "RemoteMousePointer=1",
                "Force256=0",
                "ForceDownscale=0",
                "AutostartPresentation=0",
                "ScreenRegion=",
                "BrowserRefresh=500",
                "InternetRetryTime=30"};
    }
};

TEST(SftpBlackBox, SpectatorFollowsAPresentationOverSftpUntilClear)
{
    SftpSite site;
    DesktopSession session;
    session.writePreferences(site.preferences());
    // The presenter's own key, where ssh keeps it.
    fs::create_directories(session.home() + "/.ssh");
    fs::copy_file(site.sshd.clientKey(), session.home() + "/.ssh/id_ed25519");
    fs::copy_file(site.sshd.clientKey() + ".pub", session.home() + "/.ssh/id_ed25519.pub");
    const ChangingScreen moving(session, {900, 700, 60, 40});
    auto shown = std::make_unique<ColouredWindow>(session, kShownArea, kGreen);

    ProgramOnScreen program(session);
    ASSERT_NO_FATAL_FAILURE(program.startPresentation());
    session.pressKey("Return"); // the start message
    // The question about the host key, answered with its default button.
    ASSERT_TRUE(waitUntil(20s, [&] { return !session.messageBoxes("Velmora").empty(); }))
        << "no question about the server\n"
        << session.describeWindows();
    EXPECT_FALSE(fs::exists(site.show + "Velmora.htm")) << "uploaded before the answer";
    session.closeMessageBoxes(10s);
    ASSERT_TRUE(waitUntil(30s, [&] { return site.pageCounter() >= 2; }))
        << session.log() << session.describeWindows();
    EXPECT_TRUE(session.messageBoxes("Fehler").empty());
    EXPECT_EQ(fileBytes(session.configHome() + "/Velmora/known_hosts"), site.sshd.knownHostsLine());

    HeadlessBrowser spectator(1100, 820);
    ASSERT_TRUE(spectator.open(site.apache->url("/show/index.htm"))) << spectator.output();
    SpectatorView view;
    ASSERT_TRUE(waitUntil(30s,
                          [&] {
                              view = lookAt(spectator);
                              return view.showsArea(kShownArea, kGreen);
                          }))
        << "picture " << view.pictureWidth << "x" << view.pictureHeight;
    const int counterSeen = view.counter;

    // The screen changes: the pictures are replaced, although SFTP cannot rename over a file.
    auto replacement = std::make_unique<ColouredWindow>(session, kShownArea, kBlue);
    shown.reset();
    ASSERT_TRUE(waitUntil(30s, [&] {
        view = lookAt(spectator);
        return view.showsArea(kShownArea, kBlue);
    })) << "the spectator's view did not follow the screen";
    EXPECT_GT(view.counter, counterSeen);
    // A fourth picture replaces the first under its name, where SFTP's rename alone would fail.
    EXPECT_TRUE(waitUntil(30s, [&] { return site.pageCounter() >= 4; }))
        << "no picture replaced an earlier one";
    EXPECT_TRUE(session.messageBoxes("Fehler").empty());

    program.click(kStopX);
    ASSERT_TRUE(session.waitForMessageBox("Velmora", 10s)) << "no stop message";
    session.closeMessageBoxes(10s);
    program.click(kClearX);
    ASSERT_TRUE(waitUntil(40s, [&] {
        return site.pageCounter() == 0 && site.blackPicture(1) && site.blackPicture(2) &&
               site.blackPicture(3);
    })) << "Clear did not blacken the pictures";
    for (const char* name : {"Velmora1.png", "Velmora2.png", "Velmora3.png"})
        EXPECT_FALSE(fs::exists(site.show + name + ".upload")) << name;
    std::string address;
    EXPECT_TRUE(waitUntil(30s, [&] {
        address = spectator.evaluate("location.href");
        return address == site.homepage();
    })) << address;
    EXPECT_TRUE(session.messageBoxes("Fehler").empty());

    program.exit();
}

} // namespace
} // namespace velmora::test

// The Windows program under Wine, walked through as a presenter meets it on a fresh account: the
// hint to set up the server and the welcome message, the settings typed into the settings window
// and kept in %APPDATA%, a second copy refused while the first runs, a presentation that a
// spectator's browser follows, Stop and Clear, and Exit, which keeps the window's place and the
// program folder in the registry and tidies the working files away; at last the uninstaller.

#include "support/changing_screen.h"
#include "support/coloured_window.h"
#include "support/file_bytes.h"
#include "support/headless_browser.h"
#include "support/png_file.h"
#include "support/presentation_site.h"
#include "support/program_on_screen.h"
#include "support/viewer_screenshot.h"
#include "support/wait_until.h"
#include "support/wine_desktop_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Away from the middle of the screen, where the boxes and the settings window open.
constexpr ScreenArea kShownArea{60, 540, 300, 180};
constexpr Colour kGreen{32, 176, 64};
constexpr Colour kBlack{0, 0, 0};

// Places of the settings window's fields: a point inside each, in the window's inner area.
constexpr int kServerField[] = {20, 65};
constexpr int kWebDirField[] = {20, 105};
constexpr int kSubDirField[] = {20, 145};
constexpr int kUserField[] = {20, 185};
constexpr int kPasswordField[] = {185, 185};
constexpr int kHomepageField[] = {365, 65};
constexpr int kPauseField[] = {365, 327};
constexpr int kRefreshField[] = {365, 385};
constexpr int kOkButton[] = {630, 464};
constexpr int kPickRegionButton[] = {430, 135};
constexpr int kWholeScreenButton[] = {580, 135};
constexpr int kPreviewButton[] = {515, 260};

// The message box that shows next, other than the one just closed.
std::optional<WindowInfo> nextBox(DesktopSession& session, const std::string& closedId)
{
    std::optional<WindowInfo> found;
    waitUntil(10s, [&] {
        for (const auto& box : session.messageBoxes("Velmora"))
            if (box.id != closedId)
                found = box;
        return found.has_value();
    });
    return found;
}

int zeroCounterPages(const FtpServer& ftp)
{
    int count = 0;
    for (const auto& file : ftp.stored())
        if (file.name == "Velmora.htm" && file.bytes.find("iNr = '0';") != std::string::npos)
            ++count;
    return count;
}

bool isBlackScreenPicture(const std::string& path)
{
    const auto picture = decodePng(path);
    return picture && picture->width == 1024 && picture->height == 768 && allBlack(*picture);
}

class WinePresentationBlackBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string reason;
        if (WinePrefix::windowsBuild(reason).empty())
            GTEST_SKIP() << reason;
        if (WineDesktopSession::probeProgram(*scenarioPrefix()).empty())
            GTEST_SKIP() << "the Windows build has no test programs (build-windows.sh --tests)";
        session = std::make_unique<WineDesktopSession>(*scenarioPrefix());
    }

    // Types the site's settings into the settings window, as the presenter reads them off the
    // provider's letter, and closes it with OK.
    void typeSettings(const PresentationSite& site, const ProgramOnScreen& program)
    {
        const auto settings = session->openSettingsWindow(program.mainWindow(), 20s);
        ASSERT_TRUE(settings) << "the settings window did not open\n" << session->describeWindows();
        EXPECT_EQ(settings->width, 694);
        EXPECT_EQ(settings->height, 482);
        const auto type = [&](const int(&field)[2], const std::string& text) {
            session->typeInto(*settings, field[0], field[1], text);
        };
        type(kServerField, site.ftp.serverName());
        type(kWebDirField, "www");
        type(kSubDirField, "show");
        type(kUserField, "alice");
        type(kPasswordField, "s3cret");
        type(kHomepageField, site.homepage().substr(std::string("http://").size()));
        type(kPauseField, "1");
        type(kRefreshField, "700");
        ASSERT_NO_FATAL_FAILURE(pickAndPreviewARegion(*settings));
        // "Ganzer Bildschirm": the presentation shows the whole screen again.
        session->click(*settings, kWholeScreenButton[0], kWholeScreenButton[1]);
        session->click(*settings, kOkButton[0], kOkButton[1]);
        ASSERT_TRUE(waitUntil(10s, [&] { return session->windows("Einstellungen").empty(); }))
            << "OK did not close the settings window";
    }

    // "Bereich bestimmen" over the hidden settings window: its button hands the region under
    // it to the field, which the preview applies, saves and shows the picture of.
    void pickAndPreviewARegion(const WindowInfo& settings)
    {
        session->click(settings, kPickRegionButton[0], kPickRegionButton[1]);
        ASSERT_TRUE(session->waitForWindow("Bereich bestimmen", 10s)) << session->describeWindows();
        EXPECT_TRUE(session->windows("Einstellungen").empty()) << "hidden while picking";
        // A tool window: Wine gives it an X window of its own frame, a border all round and the
        // title bar above an inner area of 200 x 200.
        const WindowInfo picker = session->windows("Bereich bestimmen").front();
        const int border = (picker.width - 200) / 2;
        ASSERT_GE(border, 0) << picker.width;
        session->click(picker, border + 100, picker.height - border - 200 + 22);
        ASSERT_TRUE(session->waitForWindow("Einstellungen", 10s)) << session->describeWindows();
        EXPECT_TRUE(session->windows("Bereich bestimmen").empty());

        session->click(settings, kPreviewButton[0], kPreviewButton[1]);
        ASSERT_TRUE(session->waitForWindow("Desktop Vorschau", 20s)) << session->describeWindows();
        const std::string saved = fileBytes(session->preferenceFile());
        EXPECT_NE(saved.find("ScreenRegion = 100,100,300,300\r\n"), std::string::npos) << saved;
        // Room for the picture of 201 x 201 pixels and its margin, and the status bar below.
        const WindowInfo preview = session->windows("Desktop Vorschau").front();
        EXPECT_EQ(preview.width, 231);
        EXPECT_EQ(preview.height, 241);
    }

    std::unique_ptr<WineDesktopSession> session;
};

TEST_F(WinePresentationBlackBox, FirstStartToExitAsAPresenterAndASpectatorLiveIt)
{
    PresentationSite site("www/show/", FtpServerOptions{"alice", "s3cret"});
    // Something moves in a corner, as on a presenter's screen, and a window of a known colour
    // stands where the spectator will look for it.
    const ChangingScreen moving(*session, {900, 700, 60, 40});
    const ColouredWindow shown(*session, kShownArea, kGreen);

    ProgramOnScreen program(*session);
    ASSERT_NO_FATAL_FAILURE(program.open());
    EXPECT_EQ(program.mainWindow().width, 158);

    // No server yet: first the hint to set it up, then the welcome message.
    const auto hint = session->waitForMessageBox("Velmora", 10s);
    ASSERT_TRUE(hint) << "no first-start hint";
    EXPECT_EQ(session->boxTexts("Velmora"), "Bitte zuerst im Menü 'Extras' die Einstellungen des "
                                            "FTP-Servers vornehmen.\n");
    session->pressKeyIn(*hint, "Return");
    const auto welcome = nextBox(*session, hint->id);
    ASSERT_TRUE(welcome) << "no welcome message after the hint";
    EXPECT_EQ(session->boxTexts("Velmora").rfind("Willkommen zum Velmora!\r\n\r\n", 0), 0u);
    session->closeMessageBoxes(10s);
    // The preference file is where Windows keeps an account's settings, and still empty.
    ASSERT_TRUE(fs::exists(session->preferenceFile()));
    EXPECT_EQ(fs::file_size(session->preferenceFile()), 0u);

    ASSERT_NO_FATAL_FAILURE(typeSettings(site, program));
    const std::string saved = fileBytes(session->preferenceFile());
    for (const std::string& line : std::vector<std::string>{
             "SettingVersion = 2", "FTPServerName = " + site.ftp.serverName(), "FTPWebDir = www/",
             "FTPSubDir = show/", "LizenzSite = " + site.homepage(), "PauseSeconds = 1",
             "BrowserRefresh = 700"})
        EXPECT_NE(saved.find(line + "\r\n"), std::string::npos) << line << " in\n" << saved;
    EXPECT_EQ(saved.find("s3cret"), std::string::npos) << "the password is kept scrambled";

    // A second copy is refused while the first runs, and the first goes on.
    auto second = session->startProgram("second.log");
    const auto refusal = session->waitForMessageBox("Information", 15s);
    ASSERT_TRUE(refusal) << session->describeWindows();
    EXPECT_EQ(session->boxTexts("Information"), "Das Programm läuft bereits.\n");
    session->pressKeyIn(*refusal, "Return");
    const auto secondCode = second->waitFor(15s);
    ASSERT_TRUE(secondCode) << "the second copy did not end";
    EXPECT_EQ(*secondCode, 0);
    EXPECT_TRUE(program.process().running()) << "the first copy must not be affected";

    // Start: the start message names the presentation's folder; the first cycle's files arrive,
    // the picture under a temporary name first.
    program.click(kStartX);
    const auto started = session->waitForMessageBox("Velmora", 10s);
    ASSERT_TRUE(started) << "no start message";
    const std::string startMessage = session->boxTexts("Velmora");
    EXPECT_EQ(startMessage.rfind("Die Online-Präsentation wird gestartet.\r\n", 0), 0u)
        << startMessage;
    EXPECT_NE(startMessage.find("/show/\r\n"), std::string::npos) << startMessage;
    session->closeMessageBoxes(10s);
    ASSERT_TRUE(waitUntil(30s, [&] { return site.uploadsOf("Velmora.htm") >= 1; }))
        << session->describeWindows();
    EXPECT_EQ(site.ftp.log({"USER"}).front(), "USER alice");
    const auto firstCycle = site.ftp.stored();
    ASSERT_GE(firstCycle.size(), 4u);
    EXPECT_EQ(firstCycle[0].name, "index.htm");
    EXPECT_EQ(firstCycle[1].name, "Velmora1.png.upload");
    EXPECT_EQ(firstCycle[2].name, "Velmora1.png");
    EXPECT_EQ(firstCycle[2].renamedFrom, "Velmora1.png.upload");
    EXPECT_EQ(firstCycle[3].name, "Velmora.htm");
    EXPECT_NE(firstCycle[3].bytes.find("iRefresh = 700;"), std::string::npos);

    // A spectator opens the viewer page and sees the presenter's screen: the green window
    // exactly where it is.
    HeadlessBrowser spectator(1100, 820);
    ASSERT_TRUE(spectator.open(site.viewerAddress())) << spectator.output();
    SpectatorView view;
    ASSERT_TRUE(waitUntil(30s,
                          [&] {
                              view = lookAt(spectator);
                              return view.showsArea(kShownArea, kGreen);
                          }))
        << "picture " << view.pictureWidth << "x" << view.pictureHeight;
    EXPECT_EQ(view.pictureWidth, 1024);
    EXPECT_EQ(view.pictureHeight, 768);
    EXPECT_TRUE(view.screenPixelIs(kShownArea.left - 20, kShownArea.top + 20, kBlack));
    EXPECT_GE(view.counter, 1);

    // Stop, then Clear: a black picture under each of the three names, the counter back at 0.
    program.click(kStopX);
    ASSERT_TRUE(session->waitForMessageBox("Velmora", 10s)) << "no stop message";
    session->closeMessageBoxes(10s);
    program.click(kClearX);
    ASSERT_TRUE(waitUntil(40s, [&] { return zeroCounterPages(site.ftp) >= 2; }))
        << "Clear did not publish its closing data pages\n"
        << session->describeWindows();
    std::set<std::string> cleared;
    for (const char* name : {"Velmora1.png", "Velmora2.png", "Velmora3.png"})
        if (isBlackScreenPicture(site.ftp.root() + "/" + site.remote(name)))
            cleared.insert(name);
    EXPECT_EQ(cleared.size(), 3u);
    std::string address;
    EXPECT_TRUE(waitUntil(30s,
                          [&] {
                              address = spectator.evaluate("location.href");
                              return address == site.homepage();
                          }))
        << "the spectator was not sent to the homepage: " << address;

    // Exit: the place of the window and the program folder in the registry, the working files
    // gone.
    for (const char* name : {"Velmora.png", "Velmora.cnt", "Velmora.ind"})
        EXPECT_TRUE(fs::exists(session->tempFolder() + name)) << name;
    ASSERT_NO_FATAL_FAILURE(program.exit());
    EXPECT_EQ(session->registryValue("PosX"), "0xc8");
    EXPECT_EQ(session->registryValue("PosY"), "0x1");
    EXPECT_EQ(session->registryValue("InstallDir"), WinePrefix::kProgramFolder);
    for (const char* name : {"Velmora.png", "Velmora.cnt", "Velmora.ind"})
        EXPECT_FALSE(fs::exists(session->tempFolder() + name)) << name;

    // The installer's uninstaller takes the program folder away; the presenter's settings stay
    // for the next installation.
    if (session->prefix().installedByInstaller()) {
        EXPECT_TRUE(session->prefix().uninstall(session->displayName()));
        EXPECT_TRUE(fs::exists(session->preferenceFile()));
    }
}

} // namespace
} // namespace velmora::test

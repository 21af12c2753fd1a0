// The whole program behind a fake front end: start-up, a presentation to a real FTP server,
// Clear, the settings window and Exit, the way the main window's buttons and menu drive it, and
// the start-ups that must end at once. No toolkit and no display.

#include "app/instance_guard.h"
#include "app/presentation_messages.h"
#include "app/program.h"
#include "app/program_windows.h"
#include "capture/preview_layout.h"
#include "core/message_titles.h"
#include "settings/settings_store.h"

#include "support/fake_clock.h"
#include "support/fake_front_end.h"
#include "support/fake_message_boxes.h"
#include "support/fake_screen.h"
#include "support/ftp_server_fixture.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace velmora {
namespace {

using test::FakeFrontEnd;

bool shown(const std::vector<test::ShownBox>& boxes, const std::string& text)
{
    for (const auto& box : boxes)
        if (box.text == text)
            return true;
    return false;
}

// A presenter's own folders: preference file, Temp folder and position store are private to the
// test.
class ProgramWiringTest : public ::testing::Test {
protected:
    ProgramWiringTest()
    {
        for (const char* name : {"XDG_CONFIG_HOME", "TMPDIR"})
            if (const char* value = std::getenv(name))
                saved_[name] = value;
        ::setenv("XDG_CONFIG_HOME", (home.path() + "/config").c_str(), 1);
        ::setenv("TMPDIR", (home.path() + "/tmp").c_str(), 1);
        std::filesystem::create_directories(home.path() + "/tmp");
        std::filesystem::create_directories(home.path() + "/config/Velmora");
    }

    ~ProgramWiringTest() override
    {
        for (const char* name : {"XDG_CONFIG_HOME", "TMPDIR"}) {
            if (saved_.count(name))
                ::setenv(name, saved_[name].c_str(), 1);
            else
                ::unsetenv(name);
        }
    }

    std::string workFolder() const { return home.path() + "/config/Velmora/"; }
    std::string tempFolder() const
    {
        return home.path() + "/tmp/velmora-" + std::to_string(::getuid()) + "/";
    }

    ProgramParts parts()
    {
        ProgramParts given{frontEnd, clock};
        given.openScreen = [](const std::string&) {
            return std::make_unique<test::FakeScreen>(320, 240);
        };
        given.endProgram = [this] { ++ends; };
        return given;
    }

    test::TemporaryFolder home;
    FakeFrontEnd frontEnd;
    test::FakeClock clock;
    int ends = 0;

private:
    std::map<std::string, std::string> saved_;
};

TEST_F(ProgramWiringTest, PresenterStartsClearsChangesSettingsAndExits)
{
    test::FtpServer server;
    std::filesystem::create_directories(server.root() + "/show");
    SettingsRecord stored;
    stored.FTPServerName = server.serverName();
    stored.FTPSubDir = "show/";
    stored.PauseSeconds = 0;
    stored.ScreenRegion = "1,1,100,100";
    test::FakeMessageBoxes quiet;
    SaveSettings(stored, workFolder(), quiet);
    frontEnd.positions.stored = {300, 100};
    std::string aboutHomepage;

    frontEnd.steps = {
        [&](FakeFrontEnd& ui) {
            EXPECT_TRUE(shown(ui.shownBoxes(), text::kWelcome));
            ui.click(11); // Start
        },
        [&](FakeFrontEnd& ui) {
            // The first picture and its pages arrive while the loop paces.
            // Each finished cycle wakes the loop.
            ASSERT_TRUE(ui.paceUntil(
                [&] { return server.exists("show/Velmora.htm") && ui.wakes.load() > 0; }));
            EXPECT_TRUE(server.exists("show/index.htm"));
            EXPECT_TRUE(server.exists("show/Velmora1.png"));
            // Clear waits for the Upload thread, then sends its cycles, with the windows
            // painting all along.
            const int runsBefore = ui.repaintingRuns;
            ui.click(13); // Clear
            EXPECT_EQ(ui.repaintingRuns, runsBefore + 2);
            // Three black pictures, the counter back to 0: the spectators leave.
            EXPECT_TRUE(server.exists("show/Velmora3.png"));
            EXPECT_NE(server.file("show/Velmora.htm").find("iNr = '0';"), std::string::npos);
        },
        [&](FakeFrontEnd& ui) {
            EXPECT_EQ(ui.mainWindow->statusLines.back().rfind(text::kCleared, 0), 0u);
            ui.choose("E&instellungen");
            test::FakeWindow* settings = ui.settingsWindow();
            ASSERT_TRUE(settings && settings->shown());
            // Opening stops the frame; the window shows the stored settings.
            EXPECT_EQ(ui.frames.back(), "stopped");
            EXPECT_EQ(settings->text(int(SettingsField::ServerName)), server.serverName());
            ui.choose("E&instellungen"); // again: the open window comes to the front
            EXPECT_EQ(ui.settingsWindow(), settings);
            EXPECT_EQ(settings->shows, 2);
            settings->setText(int(SettingsField::PauseSeconds), "7");
            // "Bereich bestimmen": the picker over the hidden settings window hands the region
            // under it to the field.
            settings->click(42);
            EXPECT_FALSE(settings->shown());
            test::FakeWindow* picker = ui.newest("Bereich bestimmen");
            ASSERT_TRUE(picker && picker->shown());
            picker->setFrame({10, 20, 210, 170});
            picker->events.moved();
            picker->click(kPickerButtonGadget);
            EXPECT_TRUE(settings->shown());
            EXPECT_FALSE(picker->shown());
            EXPECT_EQ(settings->text(int(SettingsField::ScreenRegion)), "11,21,210,170");
            const int runsBefore = ui.repaintingRuns;
            settings->click(44); // "Vorschau der Anzeige"
            EXPECT_EQ(ui.repaintingRuns, runsBefore + 1) << "the preview's wait for the upload";
            // The settings window makes way for the picture, then the preview shows it.
            EXPECT_EQ(ui.settles, (std::vector<int>{200, 500}));
            EXPECT_TRUE(settings->shown());
            const test::FakeWindow* preview = ui.newest("Desktop Vorschau");
            ASSERT_NE(preview, nullptr);
            EXPECT_TRUE(preview->shown());
            EXPECT_EQ(preview->frame().width(), previewClientSize(200, 150, ui.screen).width);
            settings->click(52); // OK
            EXPECT_FALSE(settings->shown());
            EXPECT_EQ(ui.newest("Desktop Vorschau"), nullptr) << "it goes with its owner";
            EXPECT_EQ(ui.frames.back(), "11,21,210,170");
        },
        [&](FakeFrontEnd& ui) {
            ui.choose("&Online Hilfe");
            ui.choose("&\xDC"
                      "ber ...");
            test::FakeWindow* about = ui.newest("\xDC"
                                                "ber Velmora");
            ASSERT_TRUE(about && about->shown());
            aboutHomepage = about->text(kAboutLinkGadget);
            about->click(kAboutLinkGadget);
            ui.choose("&Minimieren in Infobereich");
            EXPECT_FALSE(ui.mainWindow->window().shown());
            ui.click(14); // Exit
        },
    };
    runProgram(parts());

    ASSERT_TRUE(frontEnd.mainWindow);
    EXPECT_EQ(frontEnd.mainWindow->window().frame().left, 300);
    EXPECT_EQ(frontEnd.mainWindow->window().frame().top, 100);
    EXPECT_EQ(frontEnd.screen.right, 320);
    EXPECT_EQ(frontEnd.frames.front(), "1,1,100,100"); // the frame from the stored region
    // No help site: the menu and the about box's link open the help installed with the program.
    ASSERT_EQ(frontEnd.addresses.size(), 2u);
    EXPECT_EQ(frontEnd.addresses[0], frontEnd.addresses[1]);
    EXPECT_EQ(frontEnd.addresses[0], "file://" + aboutHomepage);
    EXPECT_TRUE(aboutHomepage.ends_with("/README.html")) << aboutHomepage;
    // Shut-down: the place saved, the working files gone, one final cleanup.
    ASSERT_TRUE(frontEnd.positions.saved);
    EXPECT_EQ(frontEnd.positions.saved->x, 300);
    EXPECT_FALSE(frontEnd.positions.savedInstallDir.empty());
    EXPECT_FALSE(std::filesystem::exists(tempFolder() + "Velmora.png"));
    EXPECT_EQ(ends, 1);
    SettingsRecord reread;
    LoadSettings(reread, workFolder(), quiet);
    EXPECT_EQ(reread.PauseSeconds, 7);
}

TEST_F(ProgramWiringTest, ClicksWhileTheFirstStartHintIsShownDoNothing)
{
    // No preference file: loading the settings shows the hint while the main window is open.
    bool clicked = false;
    frontEnd.whileBoxShown = [&](FakeFrontEnd& ui) {
        if (!ui.mainWindow || clicked)
            return;
        clicked = true;
        for (const WindowAction action :
             {WindowAction::Start, WindowAction::Clear, WindowAction::OpenSettings,
              WindowAction::OpenHelp, WindowAction::Quit})
            ui.act(action);
    };
    frontEnd.steps = {[](FakeFrontEnd& ui) {
        EXPECT_TRUE(shown(ui.shownBoxes(), text::kWelcome)) << "the loop ran: Exit did nothing";
        ui.choose("&Beenden");
    }};
    runProgram(parts());

    EXPECT_TRUE(clicked);
    EXPECT_EQ(frontEnd.newest("Einstellungen"), nullptr);
    EXPECT_TRUE(frontEnd.addresses.empty());
    for (const auto& box : frontEnd.shownBoxes())
        EXPECT_EQ(box.text.find("gestartet"), std::string::npos) << box.text;
    EXPECT_EQ(ends, 1);
}

struct EarlyEnd {
    const char* name;
    bool secondInstance;
    const char* imageLibraryFile;
    const char* title;
    std::string text;
};

class ProgramStartUpEnds : public ProgramWiringTest,
                           public ::testing::WithParamInterface<EarlyEnd> {};

TEST_P(ProgramStartUpEnds, WithItsMessageBeforeAnyWindow)
{
    const EarlyEnd& early = GetParam();
    std::filesystem::create_directories(tempFolder());
    std::optional<InstanceGuard> first;
    if (early.secondInstance)
        first.emplace(tempFolder());
    ProgramParts given = parts();
    given.imageLibraryFile = early.imageLibraryFile;
    runProgram(given);

    EXPECT_FALSE(frontEnd.mainWindow);
    EXPECT_EQ(ends, 1);
    const auto boxes = frontEnd.shownBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, early.title);
    EXPECT_EQ(boxes[0].text, early.text);
}

INSTANTIATE_TEST_SUITE_P(
    FatalPaths, ProgramStartUpEnds,
    ::testing::Values(EarlyEnd{"SecondInstance", true, kImageLibraryFile, titles::kInformation,
                               text::kAlreadyRunning},
                      EarlyEnd{"NoImageLibrary", false, "libvelmora-no-such-library.so.3",
                               titles::kError,
                               "Die Library f\xFCr die Bildverarbeitung kann nicht ge\xF6"
                               "ffnet "
                               "werden."}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora

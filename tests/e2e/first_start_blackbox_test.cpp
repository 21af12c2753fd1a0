// The first start of the real program on a fresh account, as a presenter meets it: the hint to
// set up the server, the welcome message, the settings typed into the settings window, and a
// presentation that uses them.

#include "settings/credential_scrambling.h"
#include "support/desktop_session.h"
#include "support/file_bytes.h"
#include "support/presentation_site.h"
#include "support/program_on_screen.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The program rewrites every line as "Key = Value".
std::map<std::string, std::string> savedPreferences(const std::string& path)
{
    std::map<std::string, std::string> values;
    std::istringstream in(fileBytes(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto equals = line.find(" = ");
        if (equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 3);
    }
    return values;
}

// The message box that shows next, other than the one just closed.
std::optional<WindowInfo> nextBox(DesktopSession& session, const std::string& closedId,
                                  std::chrono::milliseconds limit = 10s)
{
    std::optional<WindowInfo> found;
    waitUntil(limit, [&] {
        for (const auto& box : session.messageBoxes("Velmora"))
            if (box.id != closedId)
                found = box;
        return found.has_value();
    });
    return found;
}

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

TEST(FirstStartBlackBox, HintWelcomeThenTypedSettingsAreSavedAndRunThePresentation)
{
    PresentationSite site("www/show/", FtpServerOptions{"alice", "s3cret"});
    DesktopSession session;
    ProgramOnScreen program(session);
    ASSERT_NO_FATAL_FAILURE(program.open());

    // No server yet: first the one-line hint to set it up, then the long welcome message.
    const auto hint = session.waitForMessageBox("Velmora", 10s);
    ASSERT_TRUE(hint) << "no first-run hint";
    EXPECT_LT(hint->height, 120) << "the hint is a single line";
    session.pressKey("Return");
    const auto welcome = nextBox(session, hint->id);
    ASSERT_TRUE(welcome) << "no welcome message after the hint";
    EXPECT_GT(welcome->height, 2 * hint->height) << "the welcome message has many lines";
    session.closeMessageBoxes(10s);
    // Loading created an empty preference file and wrote nothing into it.
    ASSERT_TRUE(fs::exists(session.preferenceFile()));
    EXPECT_EQ(fs::file_size(session.preferenceFile()), 0u);

    // The presenter opens Extras -> Einstellungen and types the server's data.
    const auto settings = session.openSettingsWindow(program.mainWindow(), 20s);
    ASSERT_TRUE(settings) << "the settings window did not open";
    EXPECT_EQ(settings->width, 694);
    EXPECT_EQ(settings->height, 482);
    const std::string homepage = site.homepage().substr(std::string("http://").size());
    const auto type = [&](const int(&field)[2], const std::string& text) {
        session.typeInto(*settings, field[0], field[1], text);
    };
    type(kServerField, site.ftp.serverName());
    type(kWebDirField, "www");
    type(kSubDirField, "show");
    type(kUserField, "alice");
    type(kPasswordField, "s3cret");
    type(kHomepageField, homepage); // typed without a scheme
    type(kPauseField, "1");
    type(kRefreshField, "700");
    session.click(*settings, kOkButton[0], kOkButton[1]);
    ASSERT_TRUE(waitUntil(10s, [&] { return session.windows("Einstellungen").empty(); }))
        << "OK did not close the settings window";

    auto saved = savedPreferences(session.preferenceFile());
    EXPECT_EQ(saved["SettingVersion"], "2");
    EXPECT_EQ(saved["FTPServerName"], site.ftp.serverName());
    EXPECT_EQ(saved["FTPWebDir"], "www/");
    EXPECT_EQ(saved["FTPSubDir"], "show/");
    EXPECT_EQ(saved["LizenzSite"], site.homepage());
    EXPECT_EQ(saved["PauseSeconds"], "1");
    EXPECT_EQ(saved["BrowserRefresh"], "700");
    EXPECT_EQ(saved["InternetRetryTime"], "30");
    // The credentials are kept scrambled, and unscramble to what was typed.
    EXPECT_EQ(fileBytes(session.preferenceFile()).find("s3cret"), std::string::npos);
    EXPECT_EQ(fileBytes(session.preferenceFile()).find("alice"), std::string::npos);
    EXPECT_EQ(DecodeCredential(saved["FTPUserName"], kUserNameSelector, 2), "alice");
    EXPECT_EQ(DecodeCredential(saved["FTPPassword"], kPasswordSelector, 2), "s3cret");
    EXPECT_EQ(fs::status(session.preferenceFile()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // Start uses them at once: the named account, the folder below the web folder.
    program.click(kStartX);
    ASSERT_TRUE(session.waitForMessageBox("Velmora", 10s)) << "no start message";
    session.closeMessageBoxes(10s);
    ASSERT_TRUE(waitUntil(30s, [&] { return site.uploadsOf("Velmora.htm") >= 1; }))
        << session.log();
    const auto logins = site.ftp.log({"USER"});
    ASSERT_FALSE(logins.empty());
    EXPECT_EQ(logins.front(), "USER alice");
    const auto stored = site.ftp.stored();
    ASSERT_GE(stored.size(), 4u);
    EXPECT_EQ(stored[0].name, "index.htm");
    EXPECT_EQ(stored[1].name, "Velmora1.png.upload");
    EXPECT_EQ(stored[2].name, "Velmora1.png");
    EXPECT_EQ(stored[2].renamedFrom, "Velmora1.png.upload");
    EXPECT_EQ(stored[3].name, "Velmora.htm");
    EXPECT_TRUE(site.ftp.exists("www/show/Velmora.htm"));
    EXPECT_NE(stored[3].bytes.find("iSite = '" + site.homepage() + "';"), std::string::npos);
    EXPECT_NE(stored[3].bytes.find("iRefresh = 700;"), std::string::npos);

    ASSERT_NO_FATAL_FAILURE(program.exit());

    // The next start finds the server: the welcome message only, no hint.
    ProgramOnScreen again(session, "again.log");
    ASSERT_NO_FATAL_FAILURE(again.open());
    const auto first = session.waitForMessageBox("Velmora", 10s);
    ASSERT_TRUE(first);
    EXPECT_GT(first->height, 2 * hint->height) << "the first box is the welcome message";
    session.pressKey("Return");
    EXPECT_FALSE(nextBox(session, first->id, 3s)) << "a second box followed the welcome message";
}

} // namespace
} // namespace velmora::test

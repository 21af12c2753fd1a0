#include "server_tools/server_directory_tools.h"

#include "support/map_settings_fields.h"
#include "support/fake_message_boxes.h"
#include "support/ftp_server_fixture.h"

#include <gtest/gtest.h>

#include <functional>

#include <filesystem>

namespace velmora {
namespace {

constexpr FtpTimeouts kTestTimeouts{5, 3, 3};
constexpr char kUser[] = "presenter";
constexpr char kPassword[] = "s3cret";

struct ServerDirectoryToolsTest : ::testing::Test {
    test::FtpServer server{{kUser, kPassword, false, -1}};
    test::MapSettingsFields fields;
    test::FakeMessageBoxes boxes;
    bool stopped = false; // by a tool that could not reach the server
    std::function<void()> stopPresentation = [this] { stopped = true; };

    void SetUp() override
    {
        std::filesystem::create_directories(server.root() + "/public_html/show");
        fields.texts[SettingsField::ServerName] = server.serverName();
        fields.texts[SettingsField::UserName] = kUser;
        fields.texts[SettingsField::Password] = kPassword;
        fields.texts[SettingsField::HtpasswdPath] = "/old/path/";
    }

    void check() { CheckServerDirectory(fields, boxes, stopPresentation, kTestTimeouts); }
    void load() { LoadAbsoluteServerPath(fields, boxes, stopPresentation, kTestTimeouts); }

    void expectOneBox(const std::string& title, const std::string& text, BoxModality modality)
    {
        const auto shown = boxes.shown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].title, title);
        EXPECT_EQ(shown[0].text, text);
        EXPECT_EQ(shown[0].buttons, BoxButtons::Ok);
        EXPECT_EQ(shown[0].modality, modality);
    }
};

TEST_F(ServerDirectoryToolsTest, CheckFindsAnExistingDirectoryWithTidiedFields)
{
    fields.texts[SettingsField::WebDir] = "public_html";
    fields.texts[SettingsField::SubDir] = "show";
    check();
    EXPECT_EQ(fields.texts[SettingsField::WebDir], "public_html/");
    EXPECT_EQ(fields.texts[SettingsField::SubDir], "show/");
    expectOneBox("Information", "Das entsprechende Verzeichnis ist vorhanden:\r\npublic_html/show/",
                 BoxModality::SystemModal);
    EXPECT_EQ(server.log({"CWD"}).front(), "CWD public_html/show/");
    // A successful check leaves the presentation state and the absolute path alone.
    EXPECT_FALSE(stopped);
    EXPECT_EQ(fields.texts[SettingsField::HtpasswdPath], "/old/path/");
}

TEST_F(ServerDirectoryToolsTest, CheckReportsAMissingDirectory)
{
    fields.texts[SettingsField::WebDir] = "/";
    fields.texts[SettingsField::SubDir] = "";
    check();
    EXPECT_EQ(fields.texts[SettingsField::WebDir], "");
    EXPECT_EQ(fields.texts[SettingsField::SubDir], "mydirectory/");
    expectOneBox("Information",
                 "Das entsprechende Verzeichnis ist NICHT vorhanden:\r\nmydirectory/",
                 BoxModality::SystemModal);
    EXPECT_EQ(server.log({"CWD"}), std::vector<std::string>{"CWD mydirectory/"});
}

TEST_F(ServerDirectoryToolsTest, LoadFillsTheAbsolutePathFromTheServer)
{
    fields.texts[SettingsField::WebDir] = "public_html/";
    fields.texts[SettingsField::SubDir] = "show/";
    load();
    // The message shows the server's own name; the field gets a "/" added.
    expectOneBox("Information",
                 "Der absolute Verzeichnispfad auf dem Server heisst:\r\n/public_html/show",
                 BoxModality::Ordinary);
    EXPECT_EQ(fields.texts[SettingsField::HtpasswdPath], "/public_html/show/");
    EXPECT_FALSE(stopped);
}

TEST_F(ServerDirectoryToolsTest, LoadOfTheRootGivesTwoSlashes)
{
    fields.texts[SettingsField::WebDir] = "";
    fields.texts[SettingsField::SubDir] = "/";
    load();
    expectOneBox("Information", "Der absolute Verzeichnispfad auf dem Server heisst:\r\n/",
                 BoxModality::Ordinary);
    EXPECT_EQ(fields.texts[SettingsField::HtpasswdPath], "//");
}

TEST_F(ServerDirectoryToolsTest, LoadOfAMissingDirectoryLeavesTheField)
{
    fields.texts[SettingsField::WebDir] = "public_html";
    fields.texts[SettingsField::SubDir] = "";
    load();
    EXPECT_EQ(fields.texts[SettingsField::WebDir], "public_html/");
    EXPECT_EQ(fields.texts[SettingsField::SubDir], "mydirectory/");
    expectOneBox("Information",
                 "Das entsprechende Verzeichnis ist NICHT vorhanden:\r\npublic_html/mydirectory/",
                 BoxModality::Ordinary);
    EXPECT_EQ(fields.texts[SettingsField::HtpasswdPath], "/old/path/");
}

TEST_F(ServerDirectoryToolsTest, WrongPasswordStopsThePresentationAndChangesNoPath)
{
    fields.texts[SettingsField::WebDir] = "public_html";
    fields.texts[SettingsField::SubDir] = "show";
    fields.texts[SettingsField::Password] = "wrong";

    check();
    expectOneBox("Fehler", "Die Verbindung zum Server kann nicht hergestellt werden.",
                 BoxModality::SystemModal);
    EXPECT_TRUE(stopped);
    // The fields were tidied even though the server was never reached.
    EXPECT_EQ(fields.texts[SettingsField::WebDir], "public_html/");

    boxes.clear();
    stopped = false;
    load();
    expectOneBox("Fehler", "Die Verbindung zum Server kann nicht hergestellt werden.",
                 BoxModality::Ordinary);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(fields.texts[SettingsField::HtpasswdPath], "/old/path/");
    EXPECT_TRUE(server.log({"CWD", "PWD"}).empty());
}

TEST_F(ServerDirectoryToolsTest, ServerThatIsGoneIsReportedAtOnce)
{
    fields.texts[SettingsField::WebDir] = "public_html";
    fields.texts[SettingsField::SubDir] = "show";
    server.stop();
    check();
    expectOneBox("Fehler", "Die Verbindung zum Server kann nicht hergestellt werden.",
                 BoxModality::SystemModal);
    EXPECT_TRUE(stopped);
}

TEST_F(ServerDirectoryToolsTest, ToolsActOnTheTypedServerData)
{
    // Anonymous login (empty user name), as typed, on the same server.
    fields.texts[SettingsField::UserName] = "";
    fields.texts[SettingsField::Password] = "";
    fields.texts[SettingsField::WebDir] = "public_html/";
    fields.texts[SettingsField::SubDir] = "show/";
    check();
    expectOneBox("Information", "Das entsprechende Verzeichnis ist vorhanden:\r\npublic_html/show/",
                 BoxModality::SystemModal);
    EXPECT_EQ(server.log({"USER"}), std::vector<std::string>{"USER anonymous"});
}

} // namespace
} // namespace velmora

// The settings window's server tools over sftp:// against a private sshd: the folder check, the
// absolute path for the login, login install and removal, and a changed host key.
#include "server_tools/install_login.h"
#include "server_tools/remove_login.h"
#include "server_tools/server_directory_tools.h"

#include "support/fake_message_boxes.h"
#include "support/file_bytes.h"
#include "support/map_settings_fields.h"
#include "support/sshd_fixture.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace velmora {
namespace {

constexpr FtpTimeouts kTestTimeouts{5, 3, 3};

struct SftpToolsTest : ::testing::Test {
    test::Sshd server;
    test::PresenterSshHome home{server};
    test::TemporaryFolder folder;
    test::MapSettingsFields fields;
    test::FakeMessageBoxes boxes;
    bool stopped = false;
    std::function<void()> stop = [this] { stopped = true; };
    ServerTrustFiles trust{folder.file("Velmora.keys"), {}};

    void SetUp() override
    {
        std::filesystem::create_directories(server.home() + "/web/show");
        fields.texts[SettingsField::ServerName] = server.serverName();
        fields.texts[SettingsField::UserName] = server.user();
        fields.texts[SettingsField::Password] = "";
        fields.texts[SettingsField::WebDir] = "web/";
        fields.texts[SettingsField::SubDir] = "show/";
    }
    std::string knownHosts() const { return folder.file("known_hosts"); }
    std::string fingerprint() const
    {
        const std::string line =
            test::commandOutput("ssh-keygen -l -f '" + server.hostPublicKey() + "'");
        const auto start = line.find(' ') + 1;
        return line.substr(start, line.find(' ', start) - start);
    }
};

TEST_F(SftpToolsTest, EveryToolWorksOverSftp)
{
    test::writeFileBytes(knownHosts(), server.knownHostsLine());
    CheckServerDirectory(fields, boxes, stop, kTestTimeouts, trust);
    LoadAbsoluteServerPath(fields, boxes, stop, kTestTimeouts, trust);
    EXPECT_EQ(fields.texts[SettingsField::HtpasswdPath], server.home() + "/web/show/");
    fields.texts[SettingsField::LoginId] = "anna";
    fields.texts[SettingsField::LoginPassword] = "geheim";
    test::TemporaryFolder temp;
    InstallLogin(fields, boxes, stop, temp.path() + "/", kTestTimeouts, trust);
    EXPECT_NE(test::fileBytes(server.home() + "/web/show/.htaccess")
                  .find("AuthUserFile " + server.home() + "/web/show/.htpasswd"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(server.home() + "/web/show/.htpasswd"));
    RemoveLogin(fields, boxes, stop, kTestTimeouts, trust);
    EXPECT_FALSE(std::filesystem::exists(server.home() + "/web/show/.htaccess"));
    EXPECT_FALSE(std::filesystem::exists(server.home() + "/web/show/.htpasswd"));

    ASSERT_EQ(boxes.shown().size(), 4u);
    EXPECT_EQ(boxes.shown()[0].text, "Das entsprechende Verzeichnis ist vorhanden:\r\nweb/show/");
    for (const auto& box : boxes.shown()) {
        EXPECT_EQ(box.title, "Information") << box.text;
        EXPECT_EQ(box.buttons, BoxButtons::Ok) << box.text;
    }
    EXPECT_FALSE(stopped);
}

TEST_F(SftpToolsTest, MissingFolderIsReportedMissing)
{
    test::writeFileBytes(knownHosts(), server.knownHostsLine());
    fields.texts[SettingsField::SubDir] = "elsewhere/";
    CheckServerDirectory(fields, boxes, stop, kTestTimeouts, trust);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text.find("Das entsprechende Verzeichnis ist vorhanden"),
              std::string::npos)
        << boxes.shown()[0].text;
}

TEST_F(SftpToolsTest, CheckAsksAboutAChangedKeyWithNoAsDefault)
{
    test::writeFileBytes(knownHosts(), server.knownHostsLine());
    const std::string before = fingerprint();
    server.replaceHostKey();
    boxes.answerNext(BoxAnswer::Yes);
    CheckServerDirectory(fields, boxes, stop, kTestTimeouts, trust);
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].buttons, BoxButtons::YesNoDefaultNo);
    EXPECT_NE(shown[0].text.find("Bisher: " + before), std::string::npos) << shown[0].text;
    EXPECT_NE(shown[0].text.find(fingerprint()), std::string::npos) << shown[0].text;
    EXPECT_EQ(shown[1].text, "Das entsprechende Verzeichnis ist vorhanden:\r\nweb/show/");
    EXPECT_EQ(test::fileBytes(knownHosts()), server.knownHostsLine());
}

TEST_F(SftpToolsTest, OtherToolsReportAChangedKeyWithoutAsking)
{
    test::writeFileBytes(knownHosts(), server.knownHostsLine());
    const std::string remembered = server.knownHostsLine();
    server.replaceHostKey();
    boxes.answerNext(BoxAnswer::Yes);
    LoadAbsoluteServerPath(fields, boxes, stop, kTestTimeouts, trust);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Fehler");
    EXPECT_NE(boxes.shown()[0].text.find(fingerprint()), std::string::npos);
    EXPECT_EQ(test::fileBytes(knownHosts()), remembered);
}

} // namespace
} // namespace velmora

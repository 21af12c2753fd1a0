// The settings window's server tools over sftp://, as a spectator's browser feels them: a private
// sshd takes the files, Apache serves its SFTP folder. "Verzeichnis prüfen" finds the folder,
// "Laden" the absolute path Apache needs, and the login installed over SFTP closes the viewer page
// to everyone without the password; its removal opens it again.

#include "server_tools/install_login.h"
#include "server_tools/remove_login.h"
#include "server_tools/server_directory_tools.h"
#include "support/apache_server_fixture.h"
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

namespace fs = std::filesystem;
constexpr FtpTimeouts kTestTimeouts{5, 3, 3};

TEST(SftpLoginProtection, LoginInstalledOverSftpClosesTheViewerPageAndRemovalOpensIt)
{
    test::Sshd server;
    test::PresenterSshHome home(server);
    test::TemporaryFolder folder;
    fs::create_directories(server.home() + "/web/show");
    test::writeFileBytes(server.home() + "/web/show/index.htm",
                         "<HTML><BODY>Velmora</BODY></HTML>");
    test::ApacheServer::letServiceUserThrough(fs::path(server.home()).parent_path().string());
    test::ApacheServer apache(server.home() + "/web");
    const std::string viewer = apache.url("/show/index.htm");
    ASSERT_EQ(test::httpStatus(viewer), 200) << apache.errorLog();

    test::MapSettingsFields fields;
    fields.texts[SettingsField::ServerName] = server.serverName();
    fields.texts[SettingsField::UserName] = server.user();
    fields.texts[SettingsField::Password] = "";
    fields.texts[SettingsField::WebDir] = "web/";
    fields.texts[SettingsField::SubDir] = "show/";
    test::FakeMessageBoxes boxes;
    bool stopped = false;
    const std::function<void()> stop = [&stopped] { stopped = true; };
    const ServerTrustFiles trust{folder.file("Velmora.keys"), {}};

    // First contact: "Verzeichnis prüfen" asks about the host key (Yes), then finds the folder.
    boxes.answerNext(BoxAnswer::Yes);
    CheckServerDirectory(fields, boxes, stop, kTestTimeouts, trust);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].text, "Das entsprechende Verzeichnis ist vorhanden:\r\nweb/show/");
    EXPECT_EQ(test::fileBytes(folder.file("known_hosts")), server.knownHostsLine());

    LoadAbsoluteServerPath(fields, boxes, stop, kTestTimeouts, trust);
    ASSERT_EQ(fields.texts[SettingsField::HtpasswdPath], server.home() + "/web/show/");
    fields.texts[SettingsField::LoginId] = "anna";
    fields.texts[SettingsField::LoginPassword] = "geheim";
    InstallLogin(fields, boxes, stop, folder.path() + "/", kTestTimeouts, trust);
    EXPECT_EQ(test::httpStatus(viewer), 401) << apache.errorLog();
    EXPECT_EQ(test::httpStatus(viewer, "anna:geheim"), 200) << apache.errorLog();
    EXPECT_EQ(test::httpStatus(viewer, "anna:falsch"), 401);
    EXPECT_EQ(test::httpStatus(apache.url("/show/.htpasswd"), "anna:geheim"), 403);

    RemoveLogin(fields, boxes, stop, kTestTimeouts, trust);
    EXPECT_EQ(test::httpStatus(viewer), 200) << apache.errorLog();
    EXPECT_FALSE(fs::exists(server.home() + "/web/show/.htaccess"));
    EXPECT_FALSE(fs::exists(server.home() + "/web/show/.htpasswd"));
    EXPECT_FALSE(stopped);
    for (const auto& box : boxes.shown())
        EXPECT_NE(box.title, "Fehler") << box.text;
}

} // namespace
} // namespace velmora

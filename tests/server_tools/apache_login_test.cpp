// End to end: the login tools against a real FTP server whose files a real Apache serves.

#include "server_tools/install_login.h"
#include "server_tools/remove_login.h"
#include "server_tools/server_directory_tools.h"

#include "login_tools_fixture.h"
#include "support/apache_server_fixture.h"
#include "support/fake_message_boxes.h"
#include "support/ftp_server_fixture.h"
#include "support/map_settings_fields.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <functional>

#include <filesystem>
#include <fstream>

namespace velmora {
namespace {

namespace fs = std::filesystem;

using test::kAccessRulesWithdrawn;
using test::kInstalled;
using test::kOnlyEightCount;
using test::kPassword;
using test::kRemoved;
using test::kTestTimeouts;
using test::kUser;

struct ApacheLoginTest : ::testing::Test {
    test::FtpServer ftp{{kUser, kPassword, false, -1}};
    // The FTP root's real name, which Apache's AuthUserFile needs.
    std::string root = fs::canonical(ftp.root()).string();
    test::TemporaryFolder temp;
    test::MapSettingsFields fields;
    test::FakeMessageBoxes boxes;
    bool stopped = false; // by a tool that could not reach the server
    std::function<void()> stopPresentation = [this] { stopped = true; };

    // Many hosts show an FTP account the server's real file names, so that "Laden" gives the
    // path Apache needs. pyftpdlib shows its root as "/" instead; a link inside the root under
    // the root's real name makes the same names reach the same folders through FTP.
    void SetUp() override
    {
        const fs::path mirror = fs::path(ftp.root()) / fs::path(root).relative_path();
        fs::create_directories(mirror.parent_path());
        fs::create_directory_symlink(root, mirror);
        test::ApacheServer::letServiceUserThrough(fs::path(ftp.root()).parent_path().string());

        fields.texts[SettingsField::ServerName] = ftp.serverName();
        fields.texts[SettingsField::UserName] = kUser;
        fields.texts[SettingsField::Password] = kPassword;
        fields.texts[SettingsField::WebDir] = root;
    }

    void presentationDirectory(const std::string& name)
    {
        fs::create_directory(root + "/" + name);
        std::ofstream(root + "/" + name + "/index.htm", std::ios::binary)
            << "<HTML><BODY>Velmora</BODY></HTML>\r\n";
        fields.texts[SettingsField::SubDir] = name;
    }

    void load() { LoadAbsoluteServerPath(fields, boxes, stopPresentation, kTestTimeouts); }
    void install()
    {
        InstallLogin(fields, boxes, stopPresentation, temp.path() + "/", kTestTimeouts);
    }
    void remove() { RemoveLogin(fields, boxes, stopPresentation, kTestTimeouts); }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> all;
        for (const auto& box : boxes.shown())
            all.push_back(box.text);
        return all;
    }
};

TEST_F(ApacheLoginTest, InstallClosesAndRemoveOpensTheViewerPage)
{
    presentationDirectory("show");
    test::ApacheServer apache(root);
    const std::string viewer = apache.url("/show/index.htm");
    ASSERT_EQ(test::httpStatus(viewer), 200) << apache.errorLog();

    load();
    ASSERT_EQ(fields.texts[SettingsField::HtpasswdPath], root + "/show/") << texts().front();
    boxes.clear();
    fields.texts[SettingsField::LoginId] = " anna ";
    fields.texts[SettingsField::LoginPassword] = " geheim ";
    install();
    ASSERT_EQ(texts(), std::vector<std::string>{kInstalled});

    EXPECT_EQ(test::httpStatus(viewer), 401) << apache.errorLog();
    EXPECT_EQ(test::httpStatus(viewer, "anna:geheim"), 200) << apache.errorLog();
    EXPECT_EQ(test::httpStatus(apache.url("/show/"), "anna:geheim"), 200);
    EXPECT_EQ(test::httpStatus(viewer, "anna:Geheim"), 401);
    EXPECT_EQ(test::httpStatus(viewer, "bob:geheim"), 401);
    // The password list itself is never served, not even to a logged-in spectator.
    EXPECT_EQ(test::httpStatus(apache.url("/show/.htpasswd"), "anna:geheim"), 403);

    boxes.clear();
    remove();
    EXPECT_EQ(texts(), std::vector<std::string>{kRemoved});
    EXPECT_EQ(fields.texts[SettingsField::HtpasswdPath], "");
    EXPECT_EQ(test::httpStatus(viewer), 200) << apache.errorLog();

    // Removing again, with nothing installed: two failed deletions and the summary.
    boxes.clear();
    load();
    boxes.clear();
    remove();
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"Die htaccess-Datei konnte nicht gel\xF6scht werden.\r\n"
                                        "Eventuell war noch kein Login-System installiert.",
                                        "Die htpasswd-Datei konnte nicht gel\xF6scht werden.\r\n"
                                        "Eventuell war noch kein Login-System installiert.",
                                        "Das Login-System konnte nicht vollst\xE4ndig entfernt "
                                        "werden.\r\nBitte das Login-System erneut installieren "
                                        "und nochmals entfernen."}));
    EXPECT_EQ(test::httpStatus(viewer), 200) << apache.errorLog();
}

TEST_F(ApacheLoginTest, DirectoryWithASpaceInItsName)
{
    presentationDirectory("Live Show");
    test::ApacheServer apache(root);
    const std::string viewer = apache.url("/Live%20Show/index.htm");

    load();
    ASSERT_EQ(fields.texts[SettingsField::HtpasswdPath], root + "/Live Show/") << texts().front();
    fields.texts[SettingsField::LoginId] = "anna";
    fields.texts[SettingsField::LoginPassword] = "lange-passwortzeile";
    boxes.clear();
    install();
    // Installed, with the note that only the first eight characters count.
    ASSERT_EQ(texts(), std::vector<std::string>{std::string(kInstalled) + kOnlyEightCount});

    // Not a server error for the whole directory: Apache read the path as one argument.
    EXPECT_EQ(test::httpStatus(viewer), 401) << apache.errorLog();
    EXPECT_EQ(test::httpStatus(viewer, "anna:lange-passwortzeile"), 200) << apache.errorLog();
    // As with every crypt(3) list, only the first eight characters count.
    EXPECT_EQ(test::httpStatus(viewer, "anna:lange-pa"), 200);
    EXPECT_EQ(test::httpStatus(viewer, "anna:lange-p"), 401);
}

TEST_F(ApacheLoginTest, AnEmptyLoginLeavesTheDirectoryOpen)
{
    presentationDirectory("show");
    test::ApacheServer apache(root);
    const std::string viewer = apache.url("/show/index.htm");
    load();
    ASSERT_EQ(fields.texts[SettingsField::HtpasswdPath], root + "/show/") << texts().front();

    for (const auto& [id, password] : std::vector<std::pair<std::string, std::string>>{
             {"", ""}, {"  ", "geheim"}, {"anna", " "}}) {
        boxes.clear();
        fields.texts[SettingsField::LoginId] = id;
        fields.texts[SettingsField::LoginPassword] = password;
        install();
        ASSERT_EQ(boxes.shown().size(), 1u) << "'" << id << "' / '" << password << "'";
        EXPECT_EQ(boxes.shown()[0].title, "Fehler");
        // No request needs credentials, not even empty ones: nothing protects the directory.
        EXPECT_EQ(test::httpStatus(viewer), 200) << apache.errorLog();
        EXPECT_FALSE(fs::exists(root + "/show/.htaccess"));
        EXPECT_FALSE(fs::exists(root + "/show/.htpasswd"));
    }

    // A real login afterwards turns away empty credentials like any wrong ones.
    boxes.clear();
    fields.texts[SettingsField::LoginId] = "anna";
    fields.texts[SettingsField::LoginPassword] = "geheim";
    install();
    ASSERT_EQ(texts(), std::vector<std::string>{kInstalled});
    EXPECT_EQ(test::httpStatus(viewer), 401) << apache.errorLog();
    EXPECT_EQ(test::httpStatus(viewer, ":"), 401) << apache.errorLog();
    EXPECT_EQ(test::httpStatus(viewer, "anna:geheim"), 200) << apache.errorLog();
}

TEST_F(ApacheLoginTest, ARefusedPasswordListLeavesTheDirectoryOpen)
{
    presentationDirectory("show");
    // A folder in the way makes the FTP server refuse the password list.
    fs::create_directory(root + "/show/.htpasswd");
    test::ApacheServer apache(root);
    const std::string viewer = apache.url("/show/index.htm");
    load();
    ASSERT_EQ(fields.texts[SettingsField::HtpasswdPath], root + "/show/") << texts().front();
    boxes.clear();
    fields.texts[SettingsField::LoginId] = "anna";
    fields.texts[SettingsField::LoginPassword] = "geheim";
    install();
    EXPECT_EQ(texts(), std::vector<std::string>{std::string("Die htpasswd-Datei kann nicht "
                                                            "installiert werden.") +
                                                kAccessRulesWithdrawn});
    // Not 500 or 401 for every spectator: the access rules went again.
    EXPECT_EQ(test::httpStatus(viewer), 200) << apache.errorLog();
    EXPECT_EQ(test::httpStatus(apache.url("/show/")), 200) << apache.errorLog();
}

TEST_F(ApacheLoginTest, AnUnwritablePasswordListLeavesTheDirectoryOpen)
{
    presentationDirectory("show");
    // A folder in the way of the local password list in the Temp folder.
    fs::create_directory(temp.path() + "/Velmora.ht2");
    test::ApacheServer apache(root);
    const std::string viewer = apache.url("/show/index.htm");
    load();
    ASSERT_EQ(fields.texts[SettingsField::HtpasswdPath], root + "/show/") << texts().front();
    boxes.clear();
    fields.texts[SettingsField::LoginId] = "anna";
    fields.texts[SettingsField::LoginPassword] = "geheim";
    install();
    EXPECT_EQ(texts(), std::vector<std::string>{std::string("Die htpasswd-Datei kann nicht "
                                                            "erstellt werden.") +
                                                kAccessRulesWithdrawn});
    EXPECT_EQ(test::httpStatus(viewer), 200) << apache.errorLog();
}

} // namespace
} // namespace velmora

// Removing the Apache login over FTP: what goes, what stays, and what the presenter is told.

#include "login_tools_fixture.h"

namespace velmora::test {
namespace {

TEST_F(LoginToolsTest, RemoveAfterInstallDeletesBothAndEmptiesTheFields)
{
    install();
    boxes.clear();
    server.clearLog();
    remove();
    EXPECT_EQ(texts(), std::vector<std::string>{kRemoved});
    expectEveryBox("Information", BoxModality::SystemModal);
    EXPECT_FALSE(server.exists("show/.htaccess"));
    EXPECT_FALSE(server.exists("show/.htpasswd"));
    EXPECT_EQ(server.log({"CWD"}).front(), "CWD /show/");
    EXPECT_EQ(server.log({"DELE"}), (std::vector<std::string>{"DELE .htaccess", "DELE .htpasswd"}));
    EXPECT_TRUE(loginFieldsEmpty());
    EXPECT_FALSE(stopped);
}

TEST_F(LoginToolsTest, RemoveWithNothingInstalled)
{
    remove();
    EXPECT_EQ(texts(), (std::vector<std::string>{kAccessRulesNotDeleted, kPasswordListNotDeleted,
                                                 kNotFullyRemoved}));
    expectEveryBox("Information", BoxModality::SystemModal);
    EXPECT_TRUE(loginFieldsEmpty());
}

TEST_F(LoginToolsTest, RemoveWithOnlyTheAccessRulesPresent)
{
    std::ofstream(server.root() + "/show/.htaccess") << kAccessRules;
    remove();
    EXPECT_EQ(texts(), (std::vector<std::string>{kPasswordListNotDeleted, kNotFullyRemoved}));
    EXPECT_FALSE(server.exists("show/.htaccess"));
    EXPECT_TRUE(loginFieldsEmpty());
}

TEST_F(LoginToolsTest, RemoveWithAnInvalidPathKeepsTheFields)
{
    fields.texts[SettingsField::HtpasswdPath] = "/nowhere/";
    remove();
    EXPECT_EQ(texts(), std::vector<std::string>{
                           "Der absolute Verzeichnispfad auf dem Server ist ung\xFCltig:"
                           "\r\n/nowhere/Bitte den Pfad erneut laden und nochmals "
                           "versuchen."});
    expectEveryBox("Information", BoxModality::SystemModal);
    EXPECT_EQ(fields.texts[SettingsField::HtpasswdPath], "/nowhere/");
    EXPECT_EQ(fields.texts[SettingsField::LoginId], " anna ");
    EXPECT_TRUE(server.log({"DELE"}).empty());
}

TEST_F(LoginToolsTest, RemoveWithAnEmptyPathDeletesNothingInTheLoginDirectory)
{
    std::ofstream(server.root() + "/.htaccess") << "RewriteEngine On\n";
    fields.texts[SettingsField::HtpasswdPath] = "";
    remove();
    EXPECT_EQ(texts(), std::vector<std::string>{
                           "Der absolute Verzeichnispfad auf dem Server ist ung\xFCltig:"
                           "\r\nBitte den Pfad erneut laden und nochmals versuchen."});
    EXPECT_TRUE(server.log({"DELE"}).empty());
    EXPECT_TRUE(server.exists(".htaccess"));
    EXPECT_EQ(fields.texts[SettingsField::LoginId], " anna ");
}

TEST_F(LoginToolsTest, RemoveWithAWrongPasswordReportsTheConnection)
{
    install();
    boxes.clear();
    fields.texts[SettingsField::Password] = "wrong";
    remove();
    EXPECT_EQ(texts(),
              std::vector<std::string>{"Die Verbindung zum Server kann nicht hergestellt werden."});
    expectEveryBox("Fehler", BoxModality::SystemModal);
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(server.exists("show/.htaccess"));
    EXPECT_EQ(fields.texts[SettingsField::HtpasswdPath], "/show/");
}

} // namespace
} // namespace velmora::test

// Installing the Apache login over FTP: the files, their order, and every way it can fail.

#include "login_tools_fixture.h"

namespace velmora::test {
namespace {

TEST_F(LoginToolsTest, InstallWritesBothLocalFilesAndUploadsThemInOrder)
{
    install();
    EXPECT_EQ(texts(), std::vector<std::string>{kInstalled});
    expectEveryBox("Information", BoxModality::Ordinary);

    const std::string passwordList = "anna:" + systemCrypt("geheim") + "\r\n";
    EXPECT_EQ(test::fileBytes(tempFolder() + "Velmora.ht1"), kAccessRules);
    EXPECT_EQ(test::fileBytes(tempFolder() + "Velmora.ht2"), passwordList);
    // Text mode: the server stores its own line ends, one per CR LF.
    EXPECT_EQ(server.file("show/.htaccess"), withLineFeeds(kAccessRules));
    EXPECT_EQ(server.file("show/.htpasswd"), withLineFeeds(passwordList));
    // Into the absolute path first, then the access rules before the password list, in text mode.
    EXPECT_EQ(server.log({"CWD"}).front(), "CWD /show/");
    EXPECT_EQ(server.log({"STOR"}), (std::vector<std::string>{"STOR .htaccess", "STOR .htpasswd"}));
    for (const auto& type : server.log({"TYPE"}))
        EXPECT_EQ(type, "TYPE A");
    // The fields stay as typed (only the directory fields are tidied).
    EXPECT_EQ(fields.texts[SettingsField::LoginId], " anna ");
    EXPECT_EQ(fields.texts[SettingsField::WebDir], "");
    EXPECT_EQ(fields.texts[SettingsField::SubDir], "show/");
    EXPECT_FALSE(stopped);
}

TEST_F(LoginToolsTest, InstallTruncatesOldLocalFiles)
{
    std::ofstream(tempFolder() + "Velmora.ht1") << std::string(4000, 'x');
    std::ofstream(tempFolder() + "Velmora.ht2") << std::string(4000, 'y');
    install();
    EXPECT_EQ(test::fileBytes(tempFolder() + "Velmora.ht1"), kAccessRules);
    EXPECT_EQ(test::fileBytes(tempFolder() + "Velmora.ht2").size(), 5u + 13u + 2u);
}

TEST_F(LoginToolsTest, InstallIntoAnInvalidPathUploadsNothing)
{
    fields.texts[SettingsField::HtpasswdPath] = "/nowhere/";
    install();
    EXPECT_EQ(texts(),
              std::vector<std::string>{
                  "Der absolute Verzeichnispfad auf dem Server ist ung\xFCltig:\r\n/nowhere/"});
    expectEveryBox("Fehler", BoxModality::Ordinary);
    EXPECT_TRUE(server.log({"STOR"}).empty());
    EXPECT_FALSE(server.exists(".htaccess"));
}

TEST_F(LoginToolsTest, InstallWithAnEmptyPathNeverTouchesTheLoginDirectory)
{
    // The site's own access rules in the login directory must survive.
    std::ofstream(server.root() + "/.htaccess") << "RewriteEngine On\n";
    fields.texts[SettingsField::HtpasswdPath] = "";
    install();
    EXPECT_EQ(texts(), std::vector<std::string>{
                           "Der absolute Verzeichnispfad auf dem Server ist ung\xFCltig:\r\n"});
    EXPECT_TRUE(server.log({"STOR", "CWD"}).empty());
    EXPECT_EQ(server.file(".htaccess"), "RewriteEngine On\n");
}

TEST_F(LoginToolsTest, InstallWithdrawsTheAccessRulesWhenThePasswordListIsRefused)
{
    // A folder in the way makes the server refuse the password list.
    std::filesystem::create_directory(server.root() + "/show/.htpasswd");
    install();
    EXPECT_EQ(texts(), std::vector<std::string>{
                           std::string("Die htpasswd-Datei kann nicht installiert werden.") +
                           kAccessRulesWithdrawn});
    expectEveryBox("Fehler", BoxModality::Ordinary);
    // Access rules naming a missing password list would lock every spectator out.
    EXPECT_FALSE(server.exists("show/.htaccess"));
    // In the same session and directory, right after the refused upload.
    EXPECT_EQ(server.log({"USER"}).size(), 1u);
    EXPECT_EQ(server.log({"STOR", "DELE"}),
              (std::vector<std::string>{"STOR .htaccess", "STOR .htpasswd", "DELE .htaccess"}));
}

TEST_F(LoginToolsTest, InstallWithdrawsTheAccessRulesWhenThePasswordListCannotBeWritten)
{
    // A folder in the way of the local password list.
    std::filesystem::create_directory(tempFolder() + "Velmora.ht2");
    install();
    EXPECT_EQ(texts(), std::vector<std::string>{
                           std::string("Die htpasswd-Datei kann nicht erstellt werden.") +
                           kAccessRulesWithdrawn});
    expectEveryBox("Fehler", BoxModality::Ordinary);
    EXPECT_FALSE(server.exists("show/.htaccess"));
    EXPECT_FALSE(server.exists("show/.htpasswd"));
    EXPECT_EQ(server.log({"USER"}).size(), 1u);
    EXPECT_EQ(server.log({"STOR", "DELE"}),
              (std::vector<std::string>{"STOR .htaccess", "DELE .htaccess"}));
}

TEST_F(LoginToolsTest, InstallLeavesALonePasswordListOnTheServer)
{
    // Without access rules the password list locks nobody out, so nothing is deleted.
    std::filesystem::create_directory(server.root() + "/show/.htaccess");
    install();
    EXPECT_EQ(texts(),
              std::vector<std::string>{"Die htaccess-Datei kann nicht installiert werden."});
    EXPECT_TRUE(server.exists("show/.htpasswd"));
    EXPECT_TRUE(server.log({"DELE"}).empty());
}

struct LoginToolsWithoutDeleteRightTest : LoginToolsTest {
    LoginToolsWithoutDeleteRightTest()
        : LoginToolsTest([] {
              test::FtpServerOptions options = presenterAccount();
              options.refuseDelete = true;
              return options;
          }())
    {
    }
};

TEST_F(LoginToolsWithoutDeleteRightTest, InstallSaysWhenTheAccessRulesCannotBeWithdrawn)
{
    std::filesystem::create_directory(server.root() + "/show/.htpasswd");
    install();
    EXPECT_EQ(texts(), std::vector<std::string>{
                           std::string("Die htpasswd-Datei kann nicht installiert werden.") +
                           kAccessRulesStuck});
    expectEveryBox("Fehler", BoxModality::Ordinary);
    EXPECT_EQ(server.log({"DELE"}), std::vector<std::string>{"DELE .htaccess"});
    EXPECT_TRUE(server.exists("show/.htaccess"));
}

TEST_F(LoginToolsTest, InstallWhenTheLocalFilesCannotBeCreated)
{
    InstallLogin(fields, boxes, stopPresentation, temp.path() + "/missing/", kTestTimeouts);
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"Die htaccess-Datei kann nicht erstellt werden.",
                                        "Die htpasswd-Datei kann nicht erstellt werden."}));
    expectEveryBox("Fehler", BoxModality::Ordinary);
    EXPECT_TRUE(server.log({"STOR"}).empty());
    // No access rules went up, so none are deleted.
    EXPECT_TRUE(server.log({"DELE"}).empty());
}

TEST_F(LoginToolsTest, InstallRefusesAnEmptyLoginIdOrPassword)
{
    for (const auto& [id, password, text] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"", "geheim", kLoginIdMissing},
             {"   ", "geheim", kLoginIdMissing},
             {"", "", kLoginIdMissing},
             {"anna", "", kLoginPasswordMissing},
             {" anna ", "    ", kLoginPasswordMissing}}) {
        boxes.clear();
        fields.texts[SettingsField::LoginId] = id;
        fields.texts[SettingsField::LoginPassword] = password;
        install();
        const auto shown = boxes.shown();
        ASSERT_EQ(shown.size(), 1u) << "'" << id << "' / '" << password << "'";
        EXPECT_EQ(shown[0].title, "Fehler");
        EXPECT_EQ(shown[0].modality, BoxModality::Ordinary);
        EXPECT_EQ(shown[0].text, text) << "'" << id << "' / '" << password << "'";
    }
    // Refused before the server was contacted, and nothing was written or uploaded.
    EXPECT_TRUE(server.log().empty());
    EXPECT_FALSE(std::filesystem::exists(tempFolder() + "Velmora.ht1"));
    EXPECT_FALSE(std::filesystem::exists(tempFolder() + "Velmora.ht2"));
    EXPECT_TRUE(std::filesystem::is_empty(server.root() + "/show"));
    EXPECT_FALSE(stopped);
}

TEST_F(LoginToolsTest, OnlyAPasswordLongerThanEightCharactersGetsTheNote)
{
    // Eight characters once the outer spaces are gone: all of them count.
    fields.texts[SettingsField::LoginPassword] = "  achtzei8  ";
    install();
    EXPECT_EQ(texts(), std::vector<std::string>{kInstalled});

    boxes.clear();
    fields.texts[SettingsField::LoginPassword] = " neunzei9x ";
    install();
    EXPECT_EQ(texts(), std::vector<std::string>{std::string(kInstalled) + kOnlyEightCount});
    expectEveryBox("Information", BoxModality::Ordinary);
    // Not refused: the login is installed with the hash of the first eight characters.
    EXPECT_EQ(server.file("show/.htpasswd"), "anna:" + systemCrypt("neunzei9") + "\n");
}

TEST_F(LoginToolsTest, InstallRefusesLoginTextsThatWouldBreakThePasswordList)
{
    for (const auto& [id, password] :
         std::vector<std::pair<std::string, std::string>>{{"an:na", "geheim"},
                                                          {"anna\r\nbob", "geheim"},
                                                          {"j\xFCrgen", "geheim"},
                                                          {"anna", "ge\nheim"},
                                                          {"anna", "k\xE4se"}}) {
        boxes.clear();
        fields.texts[SettingsField::LoginId] = id;
        fields.texts[SettingsField::LoginPassword] = password;
        install();
        const auto shown = boxes.shown();
        ASSERT_EQ(shown.size(), 1u) << id << " / " << password;
        EXPECT_EQ(shown[0].title, "Fehler");
        EXPECT_EQ(shown[0].modality, BoxModality::Ordinary);
        EXPECT_NE(shown[0].text.find(id == "anna" ? "Passwort" : "LoginID"), std::string::npos);
    }
    // Refused before the server was contacted, and nothing was written.
    EXPECT_TRUE(server.log().empty());
    EXPECT_FALSE(std::filesystem::exists(tempFolder() + "Velmora.ht2"));
    EXPECT_FALSE(stopped);
}

TEST_F(LoginToolsTest, InstallWithAWrongPasswordReportsTheConnection)
{
    fields.texts[SettingsField::Password] = "wrong";
    install();
    EXPECT_EQ(texts(),
              std::vector<std::string>{"Die Verbindung zum Server kann nicht hergestellt werden."});
    expectEveryBox("Fehler", BoxModality::Ordinary);
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(server.log({"STOR"}).empty());
}

} // namespace
} // namespace velmora::test

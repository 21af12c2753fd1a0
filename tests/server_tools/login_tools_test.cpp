#include "server_tools/install_login.h"
#include "server_tools/remove_login.h"

#include "support/fake_message_boxes.h"
#include "support/file_bytes.h"
#include "support/ftp_server_fixture.h"
#include "support/map_settings_fields.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include <crypt.h>

#include <filesystem>
#include <fstream>

namespace velmora {
namespace {

constexpr FtpTimeouts kTestTimeouts{5, 3, 3};
constexpr char kUser[] = "presenter";
constexpr char kPassword[] = "s3cret";

constexpr char kInstalled[] = "Das Login-System ist installiert.\r\nBitte online pr\xFC"
                              "fen unter: http://www.example.com/meinverzeichnis/";
constexpr char kOnlyEightCount[] = "\r\nDas Login sch\xFCtzt das Verzeichnis, aber vom Passwort "
                                   "z\xE4hlen nur die ersten 8 Zeichen.";
constexpr char kLoginIdMissing[] =
    "Bitte eine LoginID eingeben.\r\n"
    "Ohne LoginID k\xE4me jeder Zuschauer mit leeren Anmeldedaten in das Verzeichnis.";
constexpr char kLoginPasswordMissing[] =
    "Bitte ein Passwort f\xFCr das Login eingeben.\r\n"
    "Ohne Passwort k\xE4me jeder Zuschauer, der die LoginID kennt, in das Verzeichnis.";
constexpr char kAccessRulesWithdrawn[] =
    "\r\nDie htaccess-Datei wurde wieder entfernt, damit das Verzeichnis offen bleibt.";
constexpr char kAccessRulesStuck[] =
    "\r\nDie htaccess-Datei konnte nicht wieder entfernt werden. Das Verzeichnis ist jetzt "
    "eventuell f\xFCr alle Zuschauer gesperrt.\r\n"
    "Bitte das Login-System erneut installieren oder vom Server entfernen.";
constexpr char kAccessRulesNotDeleted[] = "Die htaccess-Datei konnte nicht gel\xF6scht werden.\r\n"
                                          "Eventuell war noch kein Login-System installiert.";
constexpr char kPasswordListNotDeleted[] = "Die htpasswd-Datei konnte nicht gel\xF6scht werden.\r\n"
                                           "Eventuell war noch kein Login-System installiert.";
constexpr char kRemoved[] = "Das Login-System ist entfernt.\r\nBitte 'OK' dr\xFC"
                            "cken, um aktuellen Stand festzuhalten.";
constexpr char kNotFullyRemoved[] =
    "Das Login-System konnte nicht vollst\xE4ndig entfernt werden.\r\n"
    "Bitte das Login-System erneut installieren und nochmals entfernen.";

std::string systemCrypt(const std::string& password)
{
    crypt_data data{};
    return crypt_r(password.c_str(), "vq", &data);
}

std::string withLineFeeds(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

test::FtpServerOptions presenterAccount()
{
    test::FtpServerOptions options;
    options.user = kUser;
    options.password = kPassword;
    return options;
}

struct LoginToolsTest : ::testing::Test {
    explicit LoginToolsTest(test::FtpServerOptions options = presenterAccount())
        : server(std::move(options))
    {
    }

    test::FtpServer server;
    test::TemporaryFolder temp;
    test::MapSettingsFields fields;
    test::FakeMessageBoxes boxes;
    bool stopped = false; // by a tool that could not reach the server
    std::function<void()> stopPresentation = [this] { stopped = true; };

    // pyftpdlib shows its root as "/", so "/show/" is the server's absolute name here.
    void SetUp() override
    {
        std::filesystem::create_directories(server.root() + "/show");
        fields.texts[SettingsField::ServerName] = server.serverName();
        fields.texts[SettingsField::UserName] = kUser;
        fields.texts[SettingsField::Password] = kPassword;
        fields.texts[SettingsField::WebDir] = "/";
        fields.texts[SettingsField::SubDir] = "show";
        fields.texts[SettingsField::HtpasswdPath] = "/show/";
        fields.texts[SettingsField::LoginId] = " anna ";
        fields.texts[SettingsField::LoginPassword] = "geheim";
    }

    std::string tempFolder() const { return temp.path() + "/"; }
    void install() { InstallLogin(fields, boxes, stopPresentation, tempFolder(), kTestTimeouts); }
    void remove() { RemoveLogin(fields, boxes, stopPresentation, kTestTimeouts); }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> all;
        for (const auto& box : boxes.shown())
            all.push_back(box.text);
        return all;
    }
    void expectEveryBox(const std::string& title, BoxModality modality) const
    {
        for (const auto& box : boxes.shown()) {
            EXPECT_EQ(box.title, title) << box.text;
            EXPECT_EQ(box.modality, modality) << box.text;
            EXPECT_EQ(box.buttons, BoxButtons::Ok) << box.text;
        }
    }
    bool loginFieldsEmpty()
    {
        return fields.texts[SettingsField::HtpasswdPath].empty() &&
               fields.texts[SettingsField::LoginId].empty() &&
               fields.texts[SettingsField::LoginPassword].empty();
    }
};

const std::string kAccessRules = "AuthName \"Velmora\"\r\n"
                                 "AuthType Basic\r\n"
                                 "AuthUserFile /show/.htpasswd\r\n"
                                 "<Limit GET POST>\r\n"
                                 "require valid-user\r\n"
                                 "</Limit>\r\n";

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
} // namespace velmora

#pragma once
// The login tools against a real FTP server: the presenter's account, the typed fields, the
// texts the tools show, and the access rules they upload.

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

namespace velmora::test {

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

inline std::string systemCrypt(const std::string& password)
{
    crypt_data data{};
    return crypt_r(password.c_str(), "vq", &data);
}

inline std::string withLineFeeds(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

inline FtpServerOptions presenterAccount()
{
    FtpServerOptions options;
    options.user = kUser;
    options.password = kPassword;
    return options;
}

struct LoginToolsTest : ::testing::Test {
    explicit LoginToolsTest(FtpServerOptions options = presenterAccount())
        : server(std::move(options))
    {
    }

    FtpServer server;
    TemporaryFolder temp;
    MapSettingsFields fields;
    FakeMessageBoxes boxes;
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

inline const std::string kAccessRules = "AuthName \"Velmora\"\r\n"
                                        "AuthType Basic\r\n"
                                        "AuthUserFile /show/.htpasswd\r\n"
                                        "<Limit GET POST>\r\n"
                                        "require valid-user\r\n"
                                        "</Limit>\r\n";

} // namespace velmora::test

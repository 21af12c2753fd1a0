// The settings window's server tools over FTPS: against pure-ftpd, which takes no login without
// TLS, and against a self-signed server whose key changed.
#include "server_tools/install_login.h"
#include "server_tools/remove_login.h"
#include "server_tools/server_directory_tools.h"

#include "transfer/server_key_store.h"
#include "transfer/tls_peer_key.h"

#include "support/fake_message_boxes.h"
#include "support/file_bytes.h"
#include "support/ftp_server_fixture.h"
#include "support/map_settings_fields.h"
#include "support/pure_ftpd_fixture.h"
#include "support/temporary_folder.h"
#include "support/test_certificates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace velmora {
namespace {

constexpr FtpTimeouts kTestTimeouts{5, 3, 3};
constexpr char kUser[] = "presenter";
constexpr char kPassword[] = "s3cret";

struct FtpsToolsTest : ::testing::Test {
    test::TemporaryFolder folder;
    test::TestCertificate authority = test::makeCertificateAuthority(folder.path(), "ca");
    test::TestCertificate signedByAuthority =
        test::makeSignedCertificate(authority, folder.path(), "server");
    test::MapSettingsFields fields;
    test::FakeMessageBoxes boxes;
    bool stopped = false;
    std::function<void()> stop = [this] { stopped = true; };
    ServerTrustFiles trust{folder.file("Velmora.keys"), authority.certificateFile};

    void typeServer(const std::string& serverName)
    {
        fields.texts[SettingsField::ServerName] = serverName;
        fields.texts[SettingsField::UserName] = kUser;
        fields.texts[SettingsField::Password] = kPassword;
        fields.texts[SettingsField::WebDir] = "web/";
        fields.texts[SettingsField::SubDir] = "show/";
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> all;
        for (const auto& box : boxes.shown())
            all.push_back(box.text);
        return all;
    }
};

TEST_F(FtpsToolsTest, EveryToolWorksAgainstAServerThatRequiresTls)
{
    const test::PureFtpd server(kUser, kPassword, signedByAuthority.bothFile);
    server.makeFolder("web/show");
    typeServer(server.serverName());

    CheckServerDirectory(fields, boxes, stop, kTestTimeouts, trust);
    LoadAbsoluteServerPath(fields, boxes, stop, kTestTimeouts, trust);
    EXPECT_EQ(fields.texts[SettingsField::HtpasswdPath], "/web/show/");
    fields.texts[SettingsField::LoginId] = "anna";
    fields.texts[SettingsField::LoginPassword] = "geheim";
    test::TemporaryFolder temp;
    InstallLogin(fields, boxes, stop, temp.path() + "/", kTestTimeouts, trust);
    EXPECT_TRUE(std::filesystem::exists(server.root() + "/web/show/.htaccess"));
    EXPECT_TRUE(std::filesystem::exists(server.root() + "/web/show/.htpasswd"));
    RemoveLogin(fields, boxes, stop, kTestTimeouts, trust);
    EXPECT_FALSE(std::filesystem::exists(server.root() + "/web/show/.htaccess"));
    EXPECT_FALSE(std::filesystem::exists(server.root() + "/web/show/.htpasswd"));

    for (const auto& box : boxes.shown()) {
        EXPECT_EQ(box.title, "Information") << box.text; // no question, no failure
        EXPECT_EQ(box.buttons, BoxButtons::Ok) << box.text;
    }
    EXPECT_EQ(boxes.shown().size(), 4u);
    EXPECT_FALSE(stopped);
}

struct ChangedKeyToolsTest : FtpsToolsTest {
    test::TestCertificate earlier = test::makeSelfSignedCertificate(folder.path(), "earlier");
    test::TestCertificate now = test::makeSelfSignedCertificate(folder.path(), "now");
    test::FtpServer server{[this] {
        test::FtpServerOptions options;
        options.user = kUser;
        options.password = kPassword;
        options.tls = test::FtpServerTls::Explicit;
        options.certificateFile = now.bothFile;
        return options;
    }()};
    std::string serverKey() const { return "127.0.0.1:" + std::to_string(server.port()); }

    void SetUp() override
    {
        std::filesystem::create_directories(server.root() + "/web/show");
        typeServer(server.serverName());
        ASSERT_TRUE(ServerKeyStore(trust.keyFile).remember(serverKey(), earlier.pin));
    }
};

TEST_F(ChangedKeyToolsTest, CheckAsksWithNoAsDefaultAndYesTrustsTheNewKey)
{
    boxes.answerNext(BoxAnswer::Yes);
    CheckServerDirectory(fields, boxes, stop, kTestTimeouts, trust);
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, "Velmora");
    EXPECT_EQ(shown[0].buttons, BoxButtons::YesNoDefaultNo);
    EXPECT_EQ(shown[0].modality, BoxModality::SystemModal);
    EXPECT_NE(shown[0].text.find("Bisher: " + fingerprintText(earlier.pin)), std::string::npos)
        << shown[0].text;
    EXPECT_NE(shown[0].text.find(fingerprintText(now.pin)), std::string::npos) << shown[0].text;
    EXPECT_EQ(shown[1].text, "Das entsprechende Verzeichnis ist vorhanden:\r\nweb/show/");
    EXPECT_EQ(ServerKeyStore(trust.keyFile).find(serverKey()), now.pin);
    EXPECT_FALSE(stopped);
}

TEST_F(ChangedKeyToolsTest, CheckAnsweredNoKeepsTheOldKeyAndSendsNoLogin)
{
    boxes.answerNext(BoxAnswer::No);
    CheckServerDirectory(fields, boxes, stop, kTestTimeouts, trust);
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].title, "Fehler");
    EXPECT_NE(shown[1].text.find(fingerprintText(now.pin)), std::string::npos);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(ServerKeyStore(trust.keyFile).find(serverKey()), earlier.pin);
    EXPECT_TRUE(server.log({"USER", "PASS", "CLEAR USER", "CLEAR PASS"}).empty());
}

TEST_F(ChangedKeyToolsTest, OtherToolsReportTheChangeWithoutAsking)
{
    boxes.answerNext(BoxAnswer::Yes);
    LoadAbsoluteServerPath(fields, boxes, stop, kTestTimeouts, trust);
    fields.texts[SettingsField::HtpasswdPath] = "/web/show/";
    RemoveLogin(fields, boxes, stop, kTestTimeouts, trust);
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 2u);
    for (const auto& box : shown) {
        EXPECT_EQ(box.title, "Fehler");
        EXPECT_EQ(box.buttons, BoxButtons::Ok);
        EXPECT_NE(box.text.find("Bisher: " + fingerprintText(earlier.pin)), std::string::npos);
    }
    EXPECT_EQ(ServerKeyStore(trust.keyFile).find(serverKey()), earlier.pin);
    EXPECT_TRUE(server.log({"USER", "PASS", "CLEAR USER", "CLEAR PASS"}).empty());
}

TEST_F(FtpsToolsTest, UnknownServerInLoadIsAskedInAnOrdinaryBoxWithYesAsDefault)
{
    const auto self = test::makeSelfSignedCertificate(folder.path(), "self");
    test::FtpServerOptions options;
    options.user = kUser;
    options.password = kPassword;
    options.tls = test::FtpServerTls::Implicit;
    options.certificateFile = self.bothFile;
    test::FtpServer server(options);
    std::filesystem::create_directories(server.root() + "/web/show");
    typeServer(server.serverName());
    boxes.answerNext(BoxAnswer::Yes);
    LoadAbsoluteServerPath(fields, boxes, stop, kTestTimeouts, trust);
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, "Velmora");
    EXPECT_EQ(shown[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(shown[0].modality, BoxModality::Ordinary);
    EXPECT_NE(shown[0].text.find(fingerprintText(self.pin)), std::string::npos);
    EXPECT_EQ(fields.texts[SettingsField::HtpasswdPath], "/web/show/");
}

} // namespace
} // namespace velmora

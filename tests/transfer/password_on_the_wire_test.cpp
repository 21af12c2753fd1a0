// Whoever listens on the wire between Velmora and the server never reads the password over
// ftpes://, ftps:// or sftp://: a relay between the two keeps every byte that passes. Over plain
// ftp:// the same relay does read it, so the check sees a password where one passes.
#include "transfer/server_session_factory.h"

#include "support/file_bytes.h"
#include "support/ftp_server_fixture.h"
#include "support/recording_relay.h"
#include "support/sshd_fixture.h"
#include "support/temporary_folder.h"
#include "support/test_certificates.h"
#include "support/throwaway_user.h"

#include <gtest/gtest.h>

#include <optional>

namespace velmora {
namespace {

constexpr FtpTimeouts kTestTimeouts{5, 3, 3};
constexpr char kPassword[] = "Wire-Secret-4711";

struct PasswordOnTheWireTest : ::testing::Test {
    test::TemporaryFolder folder;
    test::TestCertificate certificate = test::makeSelfSignedCertificate(folder.path(), "server");

    // Trusts whatever the server shows: the question is who can read the password, not who the
    // server is.
    ServerTrust trustAnyKey() const
    {
        ServerTrust trust;
        trust.files.keyFile = folder.file("Velmora.keys");
        trust.askUnverified = [](const UntrustedServer&) { return true; };
        return trust;
    }

    test::FtpServer ftpServer(test::FtpServerTls tls) const
    {
        test::FtpServerOptions options;
        options.user = "presenter";
        options.password = kPassword;
        options.tls = tls;
        options.certificateFile = certificate.bothFile;
        return test::FtpServer(options);
    }

    // Logs in through the relay and uploads a page; true when both went through.
    bool publishThrough(const test::RecordingRelay& relay, const std::string& scheme,
                        const std::string& user)
    {
        test::writeFileBytes(folder.file("page.htm"), "<p>page</p>\n");
        const std::string serverName = scheme + "127.0.0.1:" + std::to_string(relay.port());
        const auto session = makeServerSession(serverName, kTestTimeouts, trustAnyKey());
        return session->open(serverName, user, kPassword) == FtpOpenResult::Connected &&
               session->putFile(folder.file("page.htm"), "page.htm", TransferType::Ascii);
    }
};

TEST_F(PasswordOnTheWireTest, PlainFtpShowsThePasswordToTheRelay)
{
    const test::FtpServer server = ftpServer(test::FtpServerTls::None);
    const test::RecordingRelay relay(server.port());
    ASSERT_TRUE(publishThrough(relay, "", "presenter"));
    EXPECT_TRUE(relay.carried(std::string("PASS ") + kPassword));
}

TEST_F(PasswordOnTheWireTest, ExplicitAndImplicitFtpsNeverShowIt)
{
    for (const auto& [tls, scheme] : {std::pair{test::FtpServerTls::Explicit, "ftpes://"},
                                      std::pair{test::FtpServerTls::Implicit, "ftps://"}}) {
        const test::FtpServer server = ftpServer(tls);
        const test::RecordingRelay relay(server.port());
        ASSERT_TRUE(publishThrough(relay, scheme, "presenter")) << scheme;
        EXPECT_EQ(server.file("page.htm"), "<p>page</p>\n") << scheme;
        EXPECT_FALSE(relay.carried(kPassword)) << scheme;
        EXPECT_FALSE(relay.carried("PASS")) << scheme;
        EXPECT_FALSE(relay.carried("USER presenter")) << scheme;
    }
}

TEST_F(PasswordOnTheWireTest, SftpNeverShowsIt)
{
    if (!test::canMakeUsers())
        GTEST_SKIP() << "only root may make a throwaway account";
    const test::ThrowawayUser user(kPassword);
    test::SshdOptions options;
    options.passwordUser = user.name();
    const test::Sshd server(options);
    const test::RecordingRelay relay(server.port());
    ASSERT_TRUE(publishThrough(relay, "sftp://", user.name()));
    EXPECT_EQ(test::fileBytes(server.home() + "/page.htm"), "<p>page</p>\n");
    EXPECT_TRUE(relay.carried("SSH-2.0-")); // the relay did see the connection
    EXPECT_FALSE(relay.carried(kPassword));
}

} // namespace
} // namespace velmora

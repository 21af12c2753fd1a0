// FTPS against real servers: pyftpdlib with explicit or implicit TLS, and pure-ftpd, which
// refuses any login that is not protected. Certificates are made by the tests; a private CA stands
// for the system's store.
#include "transfer/ftp_session.h"
#include "transfer/replacing_upload.h"
#include "transfer/server_key_store.h"
#include "transfer/server_session_factory.h"
#include "transfer/sftp_session.h"

#include "support/file_bytes.h"
#include "support/ftp_server_fixture.h"
#include "support/loopback_port.h"
#include "support/pure_ftpd_fixture.h"
#include "support/temporary_folder.h"
#include "support/test_certificates.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora {
namespace {

constexpr FtpTimeouts kTestTimeouts{5, 3, 3};

struct FtpsSessionTest : ::testing::Test {
    test::TemporaryFolder folder;
    test::TestCertificate authority = test::makeCertificateAuthority(folder.path(), "ca");
    test::TestCertificate signedByAuthority =
        test::makeSignedCertificate(authority, folder.path(), "server");
    test::TestCertificate selfSigned = test::makeSelfSignedCertificate(folder.path(), "self");
    test::TestCertificate otherSelfSigned = test::makeSelfSignedCertificate(folder.path(), "other");
    std::vector<UntrustedServer> asked;

    std::string keyFile() const { return folder.file("Velmora.keys"); }

    // The private CA is trusted, unverified servers are answered with answer.
    ServerTrust trust(bool answer = false)
    {
        ServerTrust t;
        t.files = {keyFile(), authority.certificateFile};
        t.askUnverified = [this, answer](const UntrustedServer& server) {
            asked.push_back(server);
            return answer;
        };
        return t;
    }

    test::FtpServer tlsServer(test::FtpServerTls tls, const test::TestCertificate& certificate)
    {
        test::FtpServerOptions options;
        options.user = "presenter";
        options.password = "s3cret";
        options.tls = tls;
        options.certificateFile = certificate.bothFile;
        return test::FtpServer(options);
    }

    std::string localFile(const std::string& name, const std::string& bytes)
    {
        test::writeFileBytes(folder.file(name), bytes);
        return folder.file(name);
    }

    // Every operation the program uses, on one session.
    void useEveryOperation(FtpSession& session, const std::string& root,
                           const test::PureFtpd* pure = nullptr)
    {
        if (pure)
            pure->makeFolder("web/show");
        else
            std::filesystem::create_directories(root + "/web/show");
        std::string picture;
        for (int i = 0; i < 300 * 1024; ++i)
            picture += static_cast<char>(i * 31 % 251);
        ASSERT_TRUE(session.setCurrentDirectory("web"));
        EXPECT_EQ(session.currentDirectory(), "/web");
        EXPECT_TRUE(putBytesReplacing(session, picture, "show/Velmora1.png", TransferType::Binary));
        EXPECT_TRUE(
            putBytesReplacing(session, picture + "x", "show/Velmora1.png", TransferType::Binary));
        EXPECT_TRUE(session.putFile(localFile("d.htm", "a\r\nb\r\n"), "show/Velmora.htm",
                                    TransferType::Ascii));
        EXPECT_TRUE(session.deleteFile("show/Velmora.htm"));
        session.close();
        const std::string arrived = test::fileBytes(root + "/web/show/Velmora1.png");
        EXPECT_TRUE(arrived == picture + "x") << arrived.size() << " bytes arrived";
        EXPECT_FALSE(std::filesystem::exists(root + "/web/show/Velmora1.png.upload"));
        EXPECT_FALSE(std::filesystem::exists(root + "/web/show/Velmora.htm"));
    }
};

bool anyLineStartsWith(const std::vector<std::string>& lines, const std::string& start)
{
    for (const auto& line : lines)
        if (line.rfind(start, 0) == 0)
            return true;
    return false;
}

TEST_F(FtpsSessionTest, ExplicitTlsWithCertificateOfKnownAuthorityNeedsNoQuestion)
{
    auto server = tlsServer(test::FtpServerTls::Explicit, signedByAuthority);
    FtpSession session(kTestTimeouts, trust());
    ASSERT_EQ(session.open(server.serverName(), "presenter", "s3cret"), FtpOpenResult::Connected);
    useEveryOperation(session, server.root());
    EXPECT_TRUE(asked.empty());
    // Remembered all the same, so that another key there later is a changed one.
    EXPECT_EQ(
        ServerKeyStore(keyFile()).lookUp("127.0.0.1:" + std::to_string(server.port()))->voucher,
        KeyVoucher::Certificate);
    const auto log = server.log();
    EXPECT_TRUE(anyLineStartsWith(log, "CLEAR AUTH "));
    // Everything after AUTH came protected, data connections too.
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& l) { return l.rfind("CLEAR ", 0) == 0; }),
              1);
    EXPECT_FALSE(server.log({"PROT"}).empty());
    EXPECT_EQ(server.log({"PROT"}).front(), "PROT P");
}

TEST_F(FtpsSessionTest, ImplicitTlsWithCertificateOfKnownAuthorityNeedsNoQuestion)
{
    auto server = tlsServer(test::FtpServerTls::Implicit, signedByAuthority);
    FtpSession session(kTestTimeouts, trust());
    ASSERT_EQ(session.open(server.serverName(), "presenter", "s3cret"), FtpOpenResult::Connected);
    useEveryOperation(session, server.root());
    EXPECT_TRUE(asked.empty());
    EXPECT_FALSE(anyLineStartsWith(server.log(), "CLEAR "));
    EXPECT_EQ(server.log({"PROT"}).front(), "PROT P");
}

TEST_F(FtpsSessionTest, SelfSignedServerIsAskedAboutOnceThenRememberedAndUsedSilently)
{
    auto server = tlsServer(test::FtpServerTls::Explicit, selfSigned);
    {
        FtpSession session(kTestTimeouts, trust(true));
        ASSERT_EQ(session.open(server.serverName(), "presenter", "s3cret"),
                  FtpOpenResult::Connected);
        useEveryOperation(session, server.root());
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].server, "127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(asked[0].pin, selfSigned.pin);
    EXPECT_EQ(asked[0].reason, "Das Zertifikat des Servers ist selbst signiert.");
    EXPECT_EQ(ServerKeyStore(keyFile()).find(asked[0].server), selfSigned.pin);
    // Before the answer only the greeting and AUTH: the login came once, over the pinned
    // connection.
    EXPECT_EQ(server.log({"USER"}).size(), 1u);
    EXPECT_FALSE(anyLineStartsWith(server.log(), "CLEAR USER"));

    asked.clear();
    server.clearLog();
    FtpSession again(kTestTimeouts, trust(false));
    ASSERT_EQ(again.open(server.serverName(), "presenter", "s3cret"), FtpOpenResult::Connected);
    EXPECT_TRUE(again.putFile(localFile("x", "x"), "x", TransferType::Binary));
    EXPECT_TRUE(asked.empty());
}

TEST_F(FtpsSessionTest, NoSendsNeitherUserNorPasswordAndFailsLikeARefusedConnection)
{
    auto server = tlsServer(test::FtpServerTls::Explicit, selfSigned);
    FtpSession session(kTestTimeouts, trust(false));
    EXPECT_EQ(session.open(server.serverName(), "presenter", "s3cret"),
              FtpOpenResult::ServerUnreachable);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_FALSE(session.isOpen());
    EXPECT_FALSE(std::filesystem::exists(keyFile()));
    const auto log = server.log();
    EXPECT_FALSE(anyLineStartsWith(log, "USER") || anyLineStartsWith(log, "CLEAR USER"));
    EXPECT_FALSE(anyLineStartsWith(log, "PASS") || anyLineStartsWith(log, "CLEAR PASS"));
}

TEST_F(FtpsSessionTest, ImplicitSelfSignedIsAskedAboutToo)
{
    auto server = tlsServer(test::FtpServerTls::Implicit, selfSigned);
    FtpSession refused(kTestTimeouts, trust(false));
    EXPECT_EQ(refused.open(server.serverName(), "presenter", "s3cret"),
              FtpOpenResult::ServerUnreachable);
    EXPECT_TRUE(server.log({"USER", "PASS"}).empty());
    FtpSession session(kTestTimeouts, trust(true));
    ASSERT_EQ(session.open(server.serverName(), "presenter", "s3cret"), FtpOpenResult::Connected);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].pin, selfSigned.pin);
    EXPECT_EQ(asked[1].server, "127.0.0.1:" + std::to_string(server.port()));
}

TEST_F(FtpsSessionTest, CertificateForAnotherNameIsAskedAboutWithThatReason)
{
    const auto forOtherName =
        test::makeSignedCertificate(authority, folder.path(), "misnamed", "ftp.example.com");
    auto server = tlsServer(test::FtpServerTls::Explicit, forOtherName);
    FtpSession session(kTestTimeouts, trust(false));
    EXPECT_EQ(session.open(server.serverName(), "presenter", "s3cret"),
              FtpOpenResult::ServerUnreachable);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].pin, forOtherName.pin);
    EXPECT_EQ(asked[0].reason,
              "Das Zertifikat des Servers ist nicht f\xFCr den Namen \"127.0.0.1\" ausgestellt.");
    EXPECT_TRUE(server.log({"USER", "PASS", "CLEAR USER", "CLEAR PASS"}).empty());
}

TEST_F(FtpsSessionTest, UnknownAuthorityIsNamedAsTheReason)
{
    auto server = tlsServer(test::FtpServerTls::Explicit, signedByAuthority);
    ServerTrust systemStoreOnly = trust(false);
    systemStoreOnly.files.caFile.clear();
    FtpSession session(kTestTimeouts, systemStoreOnly);
    EXPECT_EQ(session.open(server.serverName(), "presenter", "s3cret"),
              FtpOpenResult::ServerUnreachable);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].pin, signedByAuthority.pin);
    EXPECT_EQ(asked[0].reason,
              "Das Zertifikat des Servers stammt von keiner bekannten Zertifizierungsstelle.");
}

TEST_F(FtpsSessionTest, ChangedKeyIsRefusedWithBothKeysAndNothingSent)
{
    auto server = tlsServer(test::FtpServerTls::Explicit, otherSelfSigned);
    const std::string name = "127.0.0.1:" + std::to_string(server.port());
    ASSERT_TRUE(ServerKeyStore(keyFile()).remember(name, selfSigned.pin));
    FtpSession session(kTestTimeouts, trust(true));
    EXPECT_EQ(session.open(server.serverName(), "presenter", "s3cret"),
              FtpOpenResult::ServerKeyChanged);
    EXPECT_TRUE(asked.empty()); // the question about unknown servers is not the one for this
    EXPECT_EQ(session.untrustedServer().server, name);
    EXPECT_EQ(session.untrustedServer().pin, otherSelfSigned.pin);
    EXPECT_EQ(session.untrustedServer().rememberedPin, selfSigned.pin);
    EXPECT_EQ(ServerKeyStore(keyFile()).find(name), selfSigned.pin);
    EXPECT_TRUE(server.log({"USER", "PASS", "CLEAR USER", "CLEAR PASS"}).empty());
}

TEST_F(FtpsSessionTest, ChangedKeyEvenWithVerifiedCertificateIsNotAcceptedSilently)
{
    auto server = tlsServer(test::FtpServerTls::Implicit, signedByAuthority);
    const std::string name = "127.0.0.1:" + std::to_string(server.port());
    ASSERT_TRUE(ServerKeyStore(keyFile()).remember(name, selfSigned.pin));
    FtpSession session(kTestTimeouts, trust(true));
    EXPECT_EQ(session.open(server.serverName(), "presenter", "s3cret"),
              FtpOpenResult::ServerKeyChanged);
    EXPECT_TRUE(server.log({"USER", "PASS"}).empty());
}

TEST_F(FtpsSessionTest, ChangedKeyAcceptedWhereAskedReplacesTheRememberedOne)
{
    auto server = tlsServer(test::FtpServerTls::Explicit, otherSelfSigned);
    const std::string name = "127.0.0.1:" + std::to_string(server.port());
    ASSERT_TRUE(ServerKeyStore(keyFile()).remember(name, selfSigned.pin));
    ServerTrust askingTrust = trust(false);
    std::vector<UntrustedServer> changed;
    askingTrust.askChanged = [&](const UntrustedServer& s) {
        changed.push_back(s);
        return true;
    };
    FtpSession session(kTestTimeouts, askingTrust);
    ASSERT_EQ(session.open(server.serverName(), "presenter", "s3cret"), FtpOpenResult::Connected);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].rememberedPin, selfSigned.pin);
    EXPECT_EQ(changed[0].pin, otherSelfSigned.pin);
    EXPECT_EQ(ServerKeyStore(keyFile()).find(name), otherSelfSigned.pin);
}

// A server that logged the program in with a certificate of a known authority is remembered by
// its key. A renewed certificate of that authority may bring a new key; a certificate that no
// authority vouches for, with another key, is a changed key: refused, not asked about as a first
// contact whose default answer would send the password.
TEST_F(FtpsSessionTest, VerifiedServerIsRememberedSoALaterUnvouchedKeyIsAChangedOne)
{
    const test::TestCertificate renewed =
        test::makeSignedCertificate(authority, folder.path(), "renewed");
    test::PureFtpd server("presenter", "s3cret", signedByAuthority.bothFile);
    server.makeFolder("show");
    const std::string name = "127.0.0.1:" + std::to_string(server.port());
    const auto openWith = [&](const std::string& certificate) {
        if (!certificate.empty())
            server.replaceCertificate(certificate);
        FtpSession session(kTestTimeouts, trust(true));
        return session.open(server.serverName(), "presenter", "s3cret");
    };
    ASSERT_EQ(openWith(""), FtpOpenResult::Connected);
    EXPECT_EQ(ServerKeyStore(keyFile()).find(name), signedByAuthority.pin);
    ASSERT_EQ(openWith(renewed.bothFile), FtpOpenResult::Connected);
    EXPECT_EQ(ServerKeyStore(keyFile()).find(name), renewed.pin);
    EXPECT_TRUE(asked.empty());

    server.replaceCertificate(selfSigned.bothFile);
    FtpSession session(kTestTimeouts, trust(true));
    EXPECT_EQ(session.open(server.serverName(), "presenter", "s3cret"),
              FtpOpenResult::ServerKeyChanged);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(session.untrustedServer().pin, selfSigned.pin);
    EXPECT_EQ(session.untrustedServer().rememberedPin, renewed.pin);
    EXPECT_FALSE(
        session.putFile(localFile("p.png", "picture"), "show/p.png", TransferType::Binary));
    EXPECT_FALSE(std::filesystem::exists(server.root() + "/show/p.png"));
    EXPECT_EQ(ServerKeyStore(keyFile()).lookUp(name)->voucher, KeyVoucher::Certificate);
}

TEST_F(FtpsSessionTest, SftpGoesToItsOwnTransportAndAsksNothingOfAnAbsentServer)
{
    const std::string serverName = "sftp://127.0.0.1:" + std::to_string(test::freeLocalPort());
    const auto session = makeServerSession(serverName, kTestTimeouts, trust(true));
    EXPECT_NE(dynamic_cast<SftpSession*>(session.get()), nullptr);
    EXPECT_EQ(session->open(serverName, "presenter", "s3cret"), FtpOpenResult::ServerUnreachable);
    EXPECT_FALSE(session->isOpen());
    EXPECT_TRUE(asked.empty());
}

// pure-ftpd with "-Y 2" refuses every login that is not protected: a session that sent the
// password in clear could not log in at all.
TEST_F(FtpsSessionTest, PasswordNeverInClearAgainstServerThatRefusesUnprotectedLogins)
{
    const test::PureFtpd server("presenter", "s3cret", signedByAuthority.bothFile);
    {
        FtpSession session(kTestTimeouts, trust());
        ASSERT_EQ(session.open(server.serverName(), "presenter", "s3cret"),
                  FtpOpenResult::Connected);
        useEveryOperation(session, server.root(), &server);
    }
    // The same account without TLS is refused by this server: the check above means something.
    FtpSession plain(kTestTimeouts, trust());
    EXPECT_NE(plain.open("127.0.0.1:" + std::to_string(server.port()), "presenter", "s3cret"),
              FtpOpenResult::Connected);
    EXPECT_TRUE(asked.empty());
}

} // namespace
} // namespace velmora

// SFTP against a private OpenSSH server that lets in only a throwaway key. The host key decides
// whether anything is sent: unknown keys are asked about, changed ones stop the open.
#include "transfer/sftp_session.h"
#include "transfer/tls_peer_key.h"

#include "support/file_bytes.h"
#include "support/sshd_fixture.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora {
namespace {

constexpr FtpTimeouts kTestTimeouts{5, 3, 3};

struct SftpSessionTest : ::testing::Test {
    test::Sshd server;
    test::TemporaryFolder folder;
    std::vector<UntrustedServer> asked;

    std::string knownHosts() const { return folder.file("known_hosts"); }

    SshTrust trust(bool answerUnknown, std::optional<bool> answerChanged = std::nullopt)
    {
        SshTrust t;
        t.knownHostsFile = knownHosts();
        t.askUnknown = [this, answerUnknown](const UntrustedServer& s) {
            asked.push_back(s);
            return answerUnknown;
        };
        if (answerChanged) {
            t.askChanged = [this, answer = *answerChanged](const UntrustedServer& s) {
                asked.push_back(s);
                return answer;
            };
        }
        return t;
    }

    SftpSession session(SshTrust t)
    {
        return SftpSession(kTestTimeouts, std::move(t), {server.clientKey()});
    }

    std::string localFile(const std::string& name, const std::string& bytes)
    {
        test::writeFileBytes(folder.file(name), bytes);
        return folder.file(name);
    }

    void trustServer() { test::writeFileBytes(knownHosts(), server.knownHostsLine()); }
};

std::string fingerprint(const std::string& publicKeyFile)
{
    // "256 SHA256:... comment (ED25519)"
    const std::string line = test::commandOutput("ssh-keygen -l -f '" + publicKeyFile + "'");
    const auto start = line.find(' ') + 1;
    return line.substr(start, line.find(' ', start) - start);
}

TEST_F(SftpSessionTest, UnknownKeyWithoutQuestionNeverConnects)
{
    SftpSession s(kTestTimeouts, SshTrust{knownHosts(), {}, {}, {}}, {server.clientKey()});
    EXPECT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::ServerUnreachable);
    EXPECT_FALSE(s.isOpen());
    EXPECT_EQ(test::fileBytes(knownHosts()), "");
}

TEST_F(SftpSessionTest, WithoutKnownHostsFileNeverConnects)
{
    SftpSession s(kTestTimeouts, SshTrust{}, {server.clientKey()});
    EXPECT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::ServerUnreachable);
}

TEST_F(SftpSessionTest, NoToUnknownKeyRefusesAndRemembersNothing)
{
    auto s = session(trust(false));
    EXPECT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::ServerUnreachable);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(fingerprintText(asked[0].pin), fingerprint(server.hostPublicKey()));
    EXPECT_EQ(asked[0].server, "127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(test::fileBytes(knownHosts()), "");
}

TEST_F(SftpSessionTest, YesRemembersTheKeyOwnerOnlyAndAsksNoMore)
{
    {
        auto s = session(trust(true));
        ASSERT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::Connected);
    }
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(test::fileBytes(knownHosts()), server.knownHostsLine());
    EXPECT_EQ(std::filesystem::status(knownHosts()).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    auto again = session(trust(false));
    EXPECT_EQ(again.open(server.serverName(), server.user(), ""), FtpOpenResult::Connected);
    EXPECT_EQ(asked.size(), 1u);
}

TEST_F(SftpSessionTest, PresentersOwnKnownHostsIsHonouredAndNotWritten)
{
    test::writeFileBytes(folder.file("own_known_hosts"), server.knownHostsLine());
    SshTrust t = trust(false);
    t.userKnownHostsFile = folder.file("own_known_hosts");
    auto s = session(t);
    EXPECT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::Connected);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(test::fileBytes(knownHosts()), "");
}

TEST_F(SftpSessionTest, ChangedKeyStopsWithBothFingerprints)
{
    trustServer();
    const std::string old = fingerprint(server.hostPublicKey());
    server.replaceHostKey();
    auto s = session(trust(true));
    EXPECT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::ServerKeyChanged);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(fingerprintText(s.untrustedServer().rememberedPin), old);
    EXPECT_EQ(fingerprintText(s.untrustedServer().pin), fingerprint(server.hostPublicKey()));
    EXPECT_NE(fingerprintText(s.untrustedServer().pin), old);
}

TEST_F(SftpSessionTest, ChangedKeyAcceptedWhenAskedReplacesTheOldOne)
{
    trustServer();
    server.replaceHostKey();
    {
        auto s = session(trust(false, true));
        ASSERT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::Connected);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_FALSE(asked[0].rememberedPin.empty());
    }
    EXPECT_EQ(test::fileBytes(knownHosts()), server.knownHostsLine());
}

TEST_F(SftpSessionTest, ChangedKeyRefusedWhenAnsweredNo)
{
    trustServer();
    server.replaceHostKey();
    auto s = session(trust(true, false));
    EXPECT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::ServerKeyChanged);
    EXPECT_EQ(asked.size(), 1u);
}

// The presenter accepted the key, then revoked it in one of the two files, or revoked it before
// the program ever saw it. Even with Yes to every question, as in "Verzeichnis pr\xFCfen", the key
// is never offered for trust, and no password or key signature goes out.
struct RevokedKeyPlace {
    bool revokedInOwnFile; // the presenter's ~/.ssh/known_hosts; else the Work folder's
    bool acceptedBefore;   // the key's plain line in the other file
};

struct SftpRevokedKeyTest : SftpSessionTest, ::testing::WithParamInterface<RevokedKeyPlace> {};

TEST_P(SftpRevokedKeyTest, IsRefusedUnaskedWithItsOwnFingerprintOnly)
{
    const std::string own = folder.file("own_known_hosts");
    const std::string revoked = "@revoked " + server.knownHostsLine();
    const std::string accepted = GetParam().acceptedBefore ? server.knownHostsLine() : "";
    test::writeFileBytes(own, GetParam().revokedInOwnFile ? revoked : accepted);
    test::writeFileBytes(knownHosts(), GetParam().revokedInOwnFile ? accepted : revoked);
    const std::string workFolderFile = test::fileBytes(knownHosts());
    SshTrust t = trust(true, true);
    t.userKnownHostsFile = own;
    auto s = session(t);
    EXPECT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::ServerKeyRevoked);
    EXPECT_FALSE(s.isOpen());
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(fingerprintText(s.untrustedServer().pin), fingerprint(server.hostPublicKey()));
    EXPECT_EQ(s.untrustedServer().rememberedPin, "");
    EXPECT_EQ(test::fileBytes(knownHosts()), workFolderFile);
    EXPECT_EQ(server.logins(), 0);
}

INSTANTIATE_TEST_SUITE_P(Places, SftpRevokedKeyTest,
                         ::testing::Values(RevokedKeyPlace{true, true},
                                           RevokedKeyPlace{false, true},
                                           RevokedKeyPlace{true, false},
                                           RevokedKeyPlace{false, false}));

TEST_F(SftpSessionTest, WrongKeyIsALoginFailure)
{
    trustServer();
    test::commandOutput("ssh-keygen -q -t ed25519 -N '' -f '" + folder.file("stranger") + "'");
    SftpSession s(kTestTimeouts, trust(false), {folder.file("stranger")});
    EXPECT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::ServerUnreachable);
    EXPECT_EQ(s.loginFailureNote(), "");
}

TEST_F(SftpSessionTest, RsaKeyRefusedSaysWhy)
{
    trustServer();
    test::commandOutput("ssh-keygen -q -t rsa -b 2048 -N '' -f '" + folder.file("id_rsa") + "'");
    SftpSession s(kTestTimeouts, trust(false), {folder.file("id_rsa")});
    EXPECT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::ServerUnreachable);
    EXPECT_NE(s.loginFailureNote().find("RSA"), std::string::npos);
    EXPECT_NE(s.loginFailureNote().find("SHA-1"), std::string::npos);
}

TEST_F(SftpSessionTest, UploadsRenamesOverTheOldPictureAndDeletes)
{
    trustServer();
    std::filesystem::create_directories(server.home() + "/show/deck");
    auto s = session(trust(false));
    ASSERT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::Connected);
    ASSERT_TRUE(s.setCurrentDirectory("show"));
    ASSERT_TRUE(s.setCurrentDirectory("deck"));
    EXPECT_EQ(s.currentDirectory(), server.home() + "/show/deck");
    ASSERT_TRUE(s.putFile(localFile("a", "old picture"), "pic 1.png", TransferType::Binary));
    ASSERT_TRUE(s.putFile(localFile("b", "new picture\r\n"), "new.tmp", TransferType::Binary));
    EXPECT_EQ(s.renameFile("new.tmp", "pic 1.png"), FtpRenameResult::Renamed);
    EXPECT_EQ(test::fileBytes(server.home() + "/show/deck/pic 1.png"), "new picture\r\n");
    EXPECT_FALSE(std::filesystem::exists(server.home() + "/show/deck/new.tmp"));
    EXPECT_EQ(s.renameFile("missing", "other.png"), FtpRenameResult::Failed);
    EXPECT_TRUE(s.deleteFile("pic 1.png"));
    EXPECT_FALSE(std::filesystem::exists(server.home() + "/show/deck/pic 1.png"));
    EXPECT_FALSE(s.deleteFile("pic 1.png"));
    // The session still works after a refused command.
    EXPECT_TRUE(s.putFile(localFile("c", "again"), "again.png", TransferType::Binary));
    EXPECT_EQ(test::fileBytes(server.home() + "/show/deck/again.png"), "again");
    // Bytes from memory arrive as they are, whatever the type says.
    const std::string bytes("\x89PNG\r\n\0\x1A\n", 9);
    EXPECT_TRUE(s.putBytes(bytes, "bytes.png", TransferType::Ascii));
    EXPECT_EQ(test::fileBytes(server.home() + "/show/deck/bytes.png"), bytes);
}

TEST_F(SftpSessionTest, EmptyUserNameIsThePresentersOwnLogin)
{
    trustServer();
    const char* before = std::getenv("USER");
    const std::string saved = before ? before : "";
    setenv("USER", server.user().c_str(), 1);
    auto s = session(trust(false));
    const FtpOpenResult opened = s.open(server.serverName(), "", "");
    if (before)
        setenv("USER", saved.c_str(), 1);
    else
        unsetenv("USER");
    EXPECT_EQ(opened, FtpOpenResult::Connected);
}

TEST_F(SftpSessionTest, MissingFolderIsRefusedAndThePrefixStays)
{
    trustServer();
    std::filesystem::create_directories(server.home() + "/show");
    auto s = session(trust(false));
    ASSERT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::Connected);
    EXPECT_EQ(s.currentDirectory(), server.home());
    EXPECT_FALSE(s.setCurrentDirectory("nowhere"));
    EXPECT_EQ(s.currentDirectory(), server.home());
    ASSERT_TRUE(s.setCurrentDirectory(server.home() + "/show"));
    EXPECT_EQ(s.currentDirectory(), server.home() + "/show");
    ASSERT_TRUE(s.putFile(localFile("a", "x"), "x.png", TransferType::Binary));
    EXPECT_TRUE(std::filesystem::exists(server.home() + "/show/x.png"));
}

// A session changed into "show" on a server that logs every SFTP request it serves, and what
// the server was asked while the session checked that it still answers.
struct LivenessCheck {
    explicit LivenessCheck(test::SshdOptions options, int filesInLoginFolder = 0)
        : server(withRequestLog(std::move(options)))
    {
        test::writeFileBytes(folder.file("known_hosts"), server.knownHostsLine());
        for (int i = 0; i < filesInLoginFolder; ++i)
            test::writeFileBytes(server.home() + "/old" + std::to_string(i), "");
        std::filesystem::create_directories(server.home() + "/show");
    }
    // The requests of the check alone; the change of folder must show as a listing, or the log
    // would prove nothing.
    std::string requestsOfTheCheck()
    {
        SshTrust trust;
        trust.knownHostsFile = folder.file("known_hosts");
        SftpSession s(kTestTimeouts, std::move(trust), {server.clientKey()});
        EXPECT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::Connected);
        EXPECT_TRUE(s.setCurrentDirectory("show"));
        const std::string before = server.requestLog();
        EXPECT_NE(before.find("opendir"), std::string::npos) << before;
        EXPECT_TRUE(s.stillAnswers());
        return server.requestLog().substr(before.size());
    }

    static test::SshdOptions withRequestLog(test::SshdOptions options)
    {
        options.logRequests = true;
        return options;
    }

    test::Sshd server;
    test::TemporaryFolder folder;
};

// The check made before a kept connection serves another cycle must not cost a listing of the
// login folder: that folder may hold any number of files, and a hostile server can stream names
// until a time limit ends it.
TEST(SftpLivenessTest, StillAnswersListsNoFolder)
{
    LivenessCheck check({}, 20000);
    const std::string during = check.requestsOfTheCheck();
    EXPECT_NE(during.find("request"), std::string::npos) << "the server was not asked";
    EXPECT_EQ(during.find("opendir"), std::string::npos) << during;
    EXPECT_EQ(during.find("readdir"), std::string::npos) << during;
}

// A server that does not give the file system figures is asked for the presentation folder's
// few names instead, never for the login folder's.
TEST(SftpLivenessTest, WithoutFileSystemFiguresListsOnlyThePresentationFolder)
{
    test::SshdOptions options;
    options.refusedRequests = "statvfs";
    LivenessCheck check(options);
    const std::string home = check.server.home();
    const std::string during = check.requestsOfTheCheck();
    EXPECT_NE(during.find("statvfs"), std::string::npos) << during;
    EXPECT_NE(during.find("opendir \"" + home + "/show"), std::string::npos) << during;
    EXPECT_EQ(during.find("opendir \"" + home + "/\""), std::string::npos) << during;
}

} // namespace
} // namespace velmora

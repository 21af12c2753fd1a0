// SFTP with a typed password instead of a key, for an account that the test makes for itself and
// removes again; no existing account is touched.
#include "transfer/server_session_factory.h"
#include "transfer/server_trust_questions.h"

#include "support/file_bytes.h"
#include "support/sshd_fixture.h"
#include "support/temporary_folder.h"
#include "support/throwaway_user.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

#include <pwd.h>
#include <sys/stat.h>

namespace velmora {
namespace {

constexpr FtpTimeouts kTestTimeouts{5, 3, 3};

struct SftpPasswordLoginTest : ::testing::Test {
    std::optional<test::ThrowawayUser> user;
    std::optional<test::Sshd> server;
    test::TemporaryFolder folder;
    int questions = 0;

    void SetUp() override
    {
        if (!test::canMakeUsers())
            GTEST_SKIP() << "only root may make a throwaway account";
        user.emplace("Pass phrase 7!");
        test::SshdOptions options;
        options.passwordUser = user->name();
        server.emplace(options);
        // The server's key is known already: this is about the login, not the host key.
        test::writeFileBytes(folder.file("known_hosts"), server->knownHostsLine());
    }

    std::unique_ptr<ServerSession> session()
    {
        ServerTrust trust;
        trust.files.keyFile = folder.file("Velmora.keys"); // known_hosts lives beside it
        trust.askUnverified = [this](const UntrustedServer&) {
            ++questions;
            return false;
        };
        return makeServerSession(server->serverName(), kTestTimeouts, trust);
    }
    std::string localFile(const std::string& bytes) const
    {
        test::writeFileBytes(folder.file("page.htm"), bytes);
        return folder.file("page.htm");
    }
};

TEST_F(SftpPasswordLoginTest, PasswordLogsInAndTheFilesBelongToThatAccount)
{
    const std::unique_ptr<ServerSession> sftp = session();
    ASSERT_EQ(sftp->open(server->serverName(), user->name(), user->password()),
              FtpOpenResult::Connected);
    EXPECT_EQ(sftp->currentDirectory(), server->home());
    ASSERT_TRUE(sftp->putFile(localFile("<p>1</p>\r\n"), "index.htm.upload", TransferType::Ascii));
    EXPECT_EQ(sftp->renameFile("index.htm.upload", "index.htm"), FtpRenameResult::Renamed);
    EXPECT_EQ(test::fileBytes(server->home() + "/index.htm"), "<p>1</p>\r\n");
    struct stat info {};
    ASSERT_EQ(::stat((server->home() + "/index.htm").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, getpwnam(user->name().c_str())->pw_uid);
    EXPECT_TRUE(sftp->deleteFile("index.htm"));
    EXPECT_EQ(questions, 0);
}

TEST_F(SftpPasswordLoginTest, WrongPasswordFailsAtOnceWithTheConnectionText)
{
    const std::unique_ptr<ServerSession> sftp = session();
    const FtpOpenResult result = sftp->open(server->serverName(), user->name(), "wrong");
    EXPECT_EQ(result, FtpOpenResult::ServerUnreachable);
    EXPECT_FALSE(sftp->isOpen());
    EXPECT_EQ(openFailureText(result, *sftp),
              "Die Verbindung zum Server kann nicht hergestellt werden.");
    EXPECT_FALSE(sftp->putFile(localFile("x"), "x.htm", TransferType::Ascii));
    EXPECT_FALSE(std::filesystem::exists(server->home() + "/x.htm"));
    EXPECT_EQ(questions, 0);
    // An empty password is no password at all: the account's own key would be asked for, and it
    // has none.
    EXPECT_NE(sftp->open(server->serverName(), user->name(), ""), FtpOpenResult::Connected);
}

} // namespace
} // namespace velmora

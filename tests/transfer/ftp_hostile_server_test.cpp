// The FTP session against servers that answer wrongly, slowly or with texts meant to reach the
// control connection: every command must still go where the presenter meant, or not at all.

#include "transfer/ftp_session.h"

#include "support/ftp_server_fixture.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace velmora {
namespace {

constexpr FtpTimeouts kTestTimeouts{5, 5, 5};

struct FtpHostileServerTest : ::testing::Test {
    test::TemporaryFolder local;

    std::string localFile(const std::string& bytes)
    {
        const std::string path = local.file("upload.bin");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

TEST_F(FtpHostileServerTest, DirectoryWithoutAUsableServerNameIsNotEnteredAndNothingFollows)
{
    for (const std::string reply :
         {"550 Permission denied.\r\n", "257 is the current directory.\r\n",
          "257 \"\" is the current directory.\r\n"}) {
        SCOPED_TRACE(reply);
        test::FtpServer server({.pwdReply = reply});
        std::filesystem::create_directories(server.root() + "/show");
        FtpSession session(kTestTimeouts);
        ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
        EXPECT_FALSE(session.setCurrentDirectory("show"));
        // The connection sits in "show" now, but a reconnect would land in the login directory:
        // nothing may be sent on a guess.
        EXPECT_FALSE(session.putFile(localFile("x"), ".htaccess", TransferType::Ascii));
        EXPECT_FALSE(session.deleteFile(".htaccess"));
        EXPECT_EQ(session.renameFile("a", "b"), FtpRenameResult::Failed);
        session.close();
        EXPECT_TRUE(server.log({"STOR", "DELE", "RNFR"}).empty());
        EXPECT_FALSE(server.exists(".htaccess"));
        EXPECT_FALSE(server.exists("show/.htaccess"));
    }
}

TEST_F(FtpHostileServerTest, ServerTextWithLineBreaksNeverReachesTheCommandLine)
{
    // The quoted path runs over two lines of a multi-line reply: sent back as "CWD <path>" it
    // would put a second command on the wire.
    test::FtpServer server({.pwdReply = "257-\"/show\r\nDELE victim\"\r\n257 done.\r\n"});
    std::filesystem::create_directories(server.root() + "/show");
    std::ofstream(server.root() + "/victim") << "keep me";
    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    EXPECT_FALSE(session.currentDirectory()) << "a path with a line break is no path";
    EXPECT_FALSE(session.setCurrentDirectory("show"));
    EXPECT_FALSE(session.putFile(localFile("x"), "Velmora.htm", TransferType::Ascii));
    session.close();
    EXPECT_TRUE(server.exists("victim"));
    EXPECT_TRUE(server.log({"DELE"}).empty());
}

TEST_F(FtpHostileServerTest, NamesWithControlCharactersAreRefusedBeforeAnythingIsSent)
{
    test::FtpServer server;
    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    server.clearLog();
    EXPECT_FALSE(session.setCurrentDirectory("show\tDELE x"));
    EXPECT_FALSE(session.putFile(localFile("x"), std::string("a\x1b") + "b", TransferType::Binary));
    EXPECT_FALSE(session.deleteFile("a\x7f"));
    session.close();
    EXPECT_TRUE(server.log({"CWD", "STOR", "DELE"}).empty());
}

TEST_F(FtpHostileServerTest, UploadsKeepDotSegmentsAsTypedLikeEveryOtherCommand)
{
    test::FtpServer server;
    std::filesystem::create_directories(server.root() + "/a");
    std::filesystem::create_directories(server.root() + "/b");
    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    EXPECT_TRUE(
        session.putFile(localFile("x"), "a/../b/Velmora1.png.upload", TransferType::Binary));
    EXPECT_EQ(session.renameFile("a/../b/Velmora1.png.upload", "a/../b/Velmora1.png"),
              FtpRenameResult::Renamed);
    session.close();
    // The upload and its rename name the same folder in the same words, so they cannot part.
    EXPECT_EQ(server.log({"STOR"}), (std::vector<std::string>{"STOR a/../b/Velmora1.png.upload"}));
    EXPECT_TRUE(server.exists("b/Velmora1.png"));
}

TEST_F(FtpHostileServerTest, SessionEndsAtItsDeadlineHoweverPatientTheTimeOuts)
{
    // Each reply comes 400 ms late, well inside every per-step time-out.
    test::FtpServer server({.replyDelayMs = 400});
    {
        FtpSession patient(kTestTimeouts);
        ASSERT_EQ(patient.open(server.serverName(), "", ""), FtpOpenResult::Connected)
            << "without a deadline the slow server is served";
    }
    FtpSession limited(kTestTimeouts);
    limited.limitTo(std::chrono::steady_clock::now() + std::chrono::milliseconds(500));
    EXPECT_EQ(limited.open(server.serverName(), "", ""), FtpOpenResult::ServerUnreachable)
        << "the login alone takes several replies, longer than the deadline";

    FtpSession spent(kTestTimeouts);
    ASSERT_EQ(spent.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    server.clearLog();
    spent.limitTo(std::chrono::steady_clock::now());
    EXPECT_FALSE(spent.putFile(localFile("x"), "late.png", TransferType::Binary));
    EXPECT_TRUE(server.log({"STOR"}).empty()) << "no command starts after the deadline";
}

} // namespace
} // namespace velmora

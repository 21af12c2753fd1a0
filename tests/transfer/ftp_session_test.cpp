#include "transfer/ftp_session.h"

#include "support/ftp_server_fixture.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace velmora {
namespace {

// Short waits: a dead or stalled server must end the step within seconds here.
constexpr FtpTimeouts kTestTimeouts{5, 3, 3};

struct FtpSessionTest : ::testing::Test {
    test::TemporaryFolder local;

    std::string localFile(const std::string& name, const std::string& bytes)
    {
        const std::string path = local.path() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

TEST_F(FtpSessionTest, AsciiForPagesBinaryForPicturesBytesIntact)
{
    test::FtpServer server;
    std::filesystem::create_directories(server.root() + "/public_html/show");
    std::string binary;
    for (int i = 0; i < 256 * 64; ++i)
        binary += static_cast<char>(i * 7 % 256); // CR, LF, NUL, 0x1A and every other byte
    const std::string page = "<HTML>\r\n<BODY>\r\n\xE4\xF6\xFC\r\n</HTML>\r\n";

    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    EXPECT_TRUE(session.putFile(localFile("p.bin", binary), "public_html/show/Velmora1.png",
                                TransferType::Binary));
    EXPECT_TRUE(session.putFile(localFile("p.htm", page), "public_html/show/Velmora.htm",
                                TransferType::Ascii));
    session.close();

    EXPECT_EQ(server.file("public_html/show/Velmora1.png"), binary);
    // This server keeps text files with its own line ends (LF); what matters is that each CR LF
    // arrived as one line end, not as CR CR LF.
    EXPECT_EQ(server.file("public_html/show/Velmora.htm"),
              "<HTML>\n<BODY>\n\xE4\xF6\xFC\n</HTML>\n");
    EXPECT_EQ(server.log({"TYPE", "STOR"}),
              (std::vector<std::string>{"TYPE I", "STOR public_html/show/Velmora1.png", "TYPE A",
                                        "STOR public_html/show/Velmora.htm"}));
    // Both uploads went over the one control connection of the session, passive only.
    EXPECT_EQ(server.log({"USER"}).size(), 1u);
    EXPECT_TRUE(server.log({"PORT", "EPRT"}).empty());
    EXPECT_FALSE(server.log({"EPSV", "PASV"}).empty());
}

TEST_F(FtpSessionTest, BytesInMemoryGoUpExactly)
{
    test::FtpServer server;
    std::string picture;
    for (int i = 0; i < 300 * 1024; ++i)
        picture += static_cast<char>(i * 31 % 251); // CR, LF and NUL among them

    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    EXPECT_TRUE(session.putBytes(picture, "Velmora1.png", TransferType::Binary));
    EXPECT_EQ(session.fileSize("Velmora1.png"), static_cast<long long>(picture.size()));
    EXPECT_TRUE(session.putBytes("a\r\nb\r\n", "Velmora.htm", TransferType::Ascii));
    EXPECT_TRUE(session.putBytes("", "empty.png", TransferType::Binary));
    session.close();

    EXPECT_TRUE(server.file("Velmora1.png") == picture)
        << server.file("Velmora1.png").size() << " bytes arrived";
    EXPECT_EQ(server.file("Velmora.htm"), "a\nb\n"); // one line end each, as this server keeps them
    EXPECT_TRUE(server.exists("empty.png"));
    EXPECT_EQ(server.file("empty.png"), "");
    EXPECT_EQ(server.log({"USER"}).size(), 1u);
}

// Whether the server's passive reply beats libcurl's first look is up to the scheduler here (the
// transfer loop's own test forces it); what must hold in every case is that the session drives
// libcurl through its loop, which never sleeps while libcurl has no socket to wait on.
TEST_F(FtpSessionTest, UploadsNeverSleepWhileLibcurlHasNothingToWaitOn)
{
    test::FtpServer server;
    const std::string picture = localFile("p.bin", std::string(100000, '\x89'));
    const std::string page = localFile("p.htm", "<HTML>\r\n</HTML>\r\n");
    for (int cycle = 0; cycle < 10; ++cycle) {
        FtpSession session(kTestTimeouts);
        ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
        EXPECT_TRUE(session.putFile(picture, "Velmora1.png", TransferType::Binary));
        EXPECT_TRUE(session.putFile(page, "Velmora.htm", TransferType::Ascii));
        const TransferLoopCounters& counters = session.transferCounters();
        EXPECT_GE(counters.passes, 3); // the login and both uploads went through the loop
        EXPECT_EQ(counters.blindWaits, 0) << "cycle " << cycle;
    }
    EXPECT_EQ(server.log({"USER"}).size(), 10u);
}

TEST_F(FtpSessionTest, NamedAccountAnonymousLoginAndUnusualNames)
{
    test::FtpServer server({"presenter", "s3cr:et@", false, -1});
    std::filesystem::create_directories(server.root() + "/my dir;x");
    {
        FtpSession session(kTestTimeouts);
        ASSERT_EQ(session.open(server.serverName(), "presenter", "s3cr:et@"),
                  FtpOpenResult::Connected);
        EXPECT_TRUE(
            session.putFile(localFile("a", "A"), "my dir;x/a#b?.png", TransferType::Binary));
    }
    EXPECT_EQ(server.file("my dir;x/a#b?.png"), "A");
    EXPECT_EQ(server.log({"USER"}), std::vector<std::string>{"USER presenter"});
    {
        FtpSession session(kTestTimeouts);
        ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    }
    EXPECT_EQ(server.log({"USER"}).back(), "USER anonymous");
}

TEST_F(FtpSessionTest, ConnectionFailuresAreTheServerKind)
{
    test::FtpServer server({"presenter", "right", false, -1});
    FtpSession session(kTestTimeouts);
    EXPECT_EQ(session.open(server.serverName(), "presenter", "wrong"),
              FtpOpenResult::ServerUnreachable);
    EXPECT_FALSE(session.isOpen());
    EXPECT_FALSE(session.putFile(localFile("a", "A"), "a", TransferType::Binary));

    const std::string refused = server.serverName();
    server.stop();
    EXPECT_EQ(session.open(refused, "presenter", "right"), FtpOpenResult::ServerUnreachable);
    EXPECT_EQ(session.open("", "", ""), FtpOpenResult::ServerUnreachable);
    EXPECT_EQ(session.open("127.0.0.1/evil", "", ""), FtpOpenResult::ServerUnreachable);
    EXPECT_EQ(session.open("127.0.0.1:1", "user\r\nDELE x", "p"), FtpOpenResult::ServerUnreachable);
}

TEST_F(FtpSessionTest, DirectoryCommandsOnOneControlConnection)
{
    test::FtpServer server;
    std::filesystem::create_directories(server.root() + "/public_html/my \"dir\"");
    std::ofstream(server.root() + "/public_html/my \"dir\"/.htaccess") << "x";

    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    EXPECT_EQ(session.currentDirectory(), "/");
    EXPECT_FALSE(session.setCurrentDirectory("public_html/missing/"));
    EXPECT_EQ(session.currentDirectory(), "/");
    ASSERT_TRUE(session.setCurrentDirectory("public_html/my \"dir\"/"));
    EXPECT_EQ(session.currentDirectory(), "/public_html/my \"dir\"");

    // Bare names now refer to the new current directory.
    EXPECT_TRUE(
        session.putFile(localFile("h", "AuthType Basic\r\n"), ".htpasswd", TransferType::Ascii));
    EXPECT_TRUE(server.exists("public_html/my \"dir\"/.htpasswd"));
    EXPECT_TRUE(session.deleteFile(".htaccess"));
    EXPECT_FALSE(server.exists("public_html/my \"dir\"/.htaccess"));
    EXPECT_FALSE(session.deleteFile(".htaccess")); // gone already
    EXPECT_FALSE(session.deleteFile("x\r\nRMD /"));
    EXPECT_TRUE(session.deleteFile(".htpasswd"));
    EXPECT_EQ(server.log({"USER"}).size(), 1u);
}

TEST_F(FtpSessionTest, RenameTellsARefusedNewNameFromARefusedOldOne)
{
    test::FtpServer server;
    std::filesystem::create_directories(server.root() + "/in the way");
    std::ofstream(server.root() + "/a") << "A";

    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    EXPECT_EQ(session.renameFile("a", "b"), FtpRenameResult::Renamed);
    EXPECT_EQ(server.file("b"), "A");
    EXPECT_FALSE(server.exists("a"));
    EXPECT_EQ(session.renameFile("b", "in the way"), FtpRenameResult::DestinationRefused);
    EXPECT_EQ(session.renameFile("missing", "c"), FtpRenameResult::Failed);
    EXPECT_EQ(session.renameFile("b", "c\r\nDELE b"), FtpRenameResult::Failed);
    EXPECT_EQ(session.renameFile("", "c"), FtpRenameResult::Failed);
    EXPECT_EQ(server.file("b"), "A");
    EXPECT_EQ(server.log({"RNFR", "RNTO"}),
              (std::vector<std::string>{"RNFR a", "RNTO b", "RNFR b", "RNTO in the way",
                                        "RNFR missing", "RNTO c"}));
    EXPECT_EQ(server.log({"USER"}).size(), 1u);
}

TEST_F(FtpSessionTest, MissingLocalFileOrRemoteFolderFailsTheUpload)
{
    test::FtpServer server;
    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    EXPECT_FALSE(session.putFile(local.path() + "/missing.png", "a.png", TransferType::Binary));
    EXPECT_FALSE(
        session.putFile(localFile("a", "A"), "no/such/folder/a.png", TransferType::Binary));
    // The session is still usable after a refused upload.
    EXPECT_TRUE(session.putFile(localFile("a", "A"), "a.png", TransferType::Binary));
}

TEST_F(FtpSessionTest, ServerWithoutPassiveModeFailsEveryTransferWithoutActiveFallback)
{
    test::FtpServer server({"", "", true, -1});
    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    EXPECT_FALSE(session.putFile(localFile("a", "A"), "a.png", TransferType::Binary));
    EXPECT_FALSE(server.exists("a.png"));
    EXPECT_TRUE(server.log({"PORT", "EPRT"}).empty());
    EXPECT_EQ(server.log({"EPSV", "PASV"}), (std::vector<std::string>{"EPSV", "PASV"}));
}

TEST_F(FtpSessionTest, ServerThatStopsAnsweringMidTransferEndsTheStep)
{
    test::FtpServer server({"", "", false, 0});
    std::string big(8 * 1024 * 1024, 'x');
    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    EXPECT_FALSE(session.putFile(localFile("big", big), "big.png", TransferType::Binary));
    EXPECT_FALSE(server.log({"STALL"}).empty());
    EXPECT_TRUE(server.log({"STORED"}).empty());
}

} // namespace
} // namespace velmora

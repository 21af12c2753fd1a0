#include "transfer/replacing_upload.h"

#include "transfer/ftp_session.h"

#include "support/ftp_server_fixture.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace velmora {
namespace {

constexpr FtpTimeouts kTestTimeouts{5, 3, 3};

const std::vector<std::string> kFileCommands = {"STOR", "RNFR", "RNTO", "DELE"};

struct ReplacingUploadTest : ::testing::Test {
    test::TemporaryFolder local;

    std::string localFile(const std::string& name, const std::string& bytes)
    {
        const std::string path = local.path() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Every byte value, in an order that depends on seed, so that two versions differ throughout.
    static std::string picture(int seed, std::size_t size = 200000)
    {
        std::string bytes;
        for (std::size_t i = 0; i < size; ++i)
            bytes += static_cast<char>((i * 7 + static_cast<std::size_t>(seed) * 31) % 256);
        return bytes;
    }

    static ino_t inodeOf(const std::string& path)
    {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
    }
};

TEST(UploadingName, BesideTheFileWithAnEndingOfItsOwn)
{
    EXPECT_EQ(uploadingName("public_html/show/Velmora1.png"),
              "public_html/show/Velmora1.png.upload");
    EXPECT_EQ(uploadingName("Velmora3.png"), "Velmora3.png.upload");
}

TEST_F(ReplacingUploadTest, TemporaryNameThenRenameOverTheFileOnOneConnection)
{
    test::FtpServer server;
    std::filesystem::create_directories(server.root() + "/show");
    const std::string first = picture(1);
    const std::string second = picture(2);

    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    ASSERT_TRUE(putBytesReplacing(session, first, "show/V1.png", TransferType::Binary));
    EXPECT_EQ(server.file("show/V1.png"), first);
    ASSERT_TRUE(putBytesReplacing(session, second, "show/V1.png", TransferType::Binary));
    session.close();

    EXPECT_EQ(server.file("show/V1.png"), second);
    EXPECT_FALSE(server.exists("show/V1.png.upload"));
    const std::vector<std::string> once = {"STOR show/V1.png.upload", "RNFR show/V1.png.upload",
                                           "RNTO show/V1.png"};
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(server.log(kFileCommands), twice);
    EXPECT_EQ(server.log({"TYPE"}), std::vector<std::string>{"TYPE I"}); // binary throughout
    EXPECT_EQ(server.log({"USER"}).size(), 1u);
    EXPECT_TRUE(server.log({"PORT", "EPRT"}).empty());
    const auto stored = server.stored();
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[1].name, "V1.png");
    EXPECT_EQ(stored[1].renamedFrom, "V1.png.upload");
    EXPECT_EQ(stored[1].bytes, first);
    EXPECT_EQ(stored[3].bytes, second);
}

// A web server that is still sending the old picture reads it through a handle it opened
// before. Rewriting the file in place would change the bytes under that handle; the rename
// leaves the old file whole and puts a new one under the name.
TEST_F(ReplacingUploadTest, AReaderOfTheOldFileKeepsReadingTheWholeOldFile)
{
    test::FtpServer server;
    const std::string before = picture(3);
    const std::string after = picture(4, 150000);
    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    ASSERT_TRUE(putBytesReplacing(session, before, "V2.png", TransferType::Binary));

    const std::string onServer = server.root() + "/V2.png";
    const ino_t oldInode = inodeOf(onServer);
    std::ifstream reader(onServer, std::ios::binary);
    ASSERT_TRUE(reader);
    std::string seen(before.size() / 2, '\0');
    ASSERT_TRUE(reader.read(seen.data(), static_cast<std::streamsize>(seen.size())));

    ASSERT_TRUE(putBytesReplacing(session, after, "V2.png", TransferType::Binary));

    std::string rest((std::istreambuf_iterator<char>(reader)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(seen + rest == before)
        << "the reader saw " << seen.size() + rest.size() << " bytes, not the old picture";
    EXPECT_EQ(server.file("V2.png"), after);
    EXPECT_NE(inodeOf(onServer), oldInode) << "the file was rewritten in place";
}

TEST_F(ReplacingUploadTest, ServerThatWillNotRenameOntoAnExistingNameGetsItDeletedFirst)
{
    test::FtpServer server({"", "", false, -1, true});
    std::ofstream(server.root() + "/V3.png", std::ios::binary) << "old picture";
    const std::string bytes = picture(5);

    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    ASSERT_TRUE(putBytesReplacing(session, bytes, "V3.png", TransferType::Binary));
    // A name not taken yet is renamed onto at the first try.
    ASSERT_TRUE(putBytesReplacing(session, bytes, "V4.png", TransferType::Binary));
    session.close();

    EXPECT_EQ(server.file("V3.png"), bytes);
    EXPECT_EQ(server.file("V4.png"), bytes);
    EXPECT_FALSE(server.exists("V3.png.upload"));
    EXPECT_FALSE(server.exists("V4.png.upload"));
    EXPECT_EQ(
        server.log(kFileCommands),
        (std::vector<std::string>{"STOR V3.png.upload", "RNFR V3.png.upload", "RNTO V3.png",
                                  "DELE V3.png", "RNFR V3.png.upload", "RNTO V3.png",
                                  "STOR V4.png.upload", "RNFR V4.png.upload", "RNTO V4.png"}));
    EXPECT_EQ(server.log({"RENAMED"}), (std::vector<std::string>{"RENAMED V3.png.upload V3.png",
                                                                 "RENAMED V4.png.upload V4.png"}));
    EXPECT_EQ(server.log({"USER"}).size(), 1u);
}

TEST_F(ReplacingUploadTest, ServerWithoutRenamingFailsTheUploadAndKeepsTheOldFile)
{
    test::FtpServer server({"", "", false, -1, false, true});
    std::ofstream(server.root() + "/V1.png", std::ios::binary) << "old picture";

    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    EXPECT_FALSE(putBytesReplacing(session, picture(6), "V1.png", TransferType::Binary));

    EXPECT_EQ(server.file("V1.png"), "old picture");
    EXPECT_FALSE(server.exists("V1.png.upload")) << "the temporary file was left behind";
    // The source name was refused, so there is nothing to gain by deleting the old file.
    EXPECT_EQ(server.log(kFileCommands),
              (std::vector<std::string>{"STOR V1.png.upload", "RNFR V1.png.upload", "RNTO V1.png",
                                        "DELE V1.png.upload"}));
    // The session goes on working.
    EXPECT_TRUE(session.putFile(localFile("p.htm", "page\r\n"), "V.htm", TransferType::Ascii));
}

TEST_F(ReplacingUploadTest, FailedUploadSendsNoRename)
{
    test::FtpServer server;
    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    // A local file that cannot be read sends nothing at all.
    EXPECT_FALSE(session.putFile(local.path() + "/missing.png", "V1.png", TransferType::Binary));
    EXPECT_FALSE(putBytesReplacing(session, "A", "no/such/folder/V1.png", TransferType::Binary));
    EXPECT_TRUE(server.log({"RNFR", "RNTO", "DELE"}).empty());
}

} // namespace
} // namespace velmora

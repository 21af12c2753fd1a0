// A server that loses the end of an upload and still reports success: the cut file must never
// be renamed over the whole one that spectators see.
#include "transfer/ftp_session.h"
#include "transfer/replacing_upload.h"

#include "support/file_bytes.h"
#include "support/ftp_server_fixture.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr FtpTimeouts kTestTimeouts{5, 3, 3};

TEST(CutUpload, APictureTheServerCutIsNotRenamedIntoPlace)
{
    test::FtpServerOptions options;
    options.cutUploads = true;
    test::FtpServer server(options);
    test::writeFileBytes(server.root() + "/Velmora1.png", "whole old picture");

    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    EXPECT_FALSE(
        putBytesReplacing(session, std::string(4096, 'P'), "Velmora1.png", TransferType::Binary));
    session.close();
    EXPECT_EQ(server.file("Velmora1.png"), "whole old picture");
    EXPECT_FALSE(server.exists("Velmora1.png.upload"));
    EXPECT_TRUE(server.log({"RNFR", "RNTO"}).empty());
}

TEST(CutUpload, SizeIsTheServersCountOfStoredBytes)
{
    test::FtpServer server;
    test::TemporaryFolder local;
    test::writeFileBytes(local.file("p.png"), std::string(12345, 'P'));
    FtpSession session(kTestTimeouts);
    ASSERT_EQ(session.open(server.serverName(), "", ""), FtpOpenResult::Connected);
    ASSERT_TRUE(session.putFile(local.file("p.png"), "p.png", TransferType::Binary));
    EXPECT_EQ(session.fileSize("p.png"), 12345);
    EXPECT_EQ(session.fileSize("missing.png"), std::nullopt);
}

} // namespace
} // namespace velmora

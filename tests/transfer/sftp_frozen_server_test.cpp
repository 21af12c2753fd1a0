// The SFTP server stops answering in the middle of a session: stopped, its connection stays open
// and the kernel still takes bytes, but no reply comes. The request that meets it ends within the
// reply limit, whatever libcurl is waiting for, and the session closes, so that the cycle's next
// steps fail at once instead of each waiting as long again. Once the server answers again, a new
// session goes on where the old one failed.

#include "transfer/sftp_session.h"

#include "support/file_bytes.h"
#include "support/sshd_fixture.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace velmora {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr FtpTimeouts kShortTimeouts{5, 2, 30};
// The reply limit, libcurl's own second for giving up the connection, and room for a busy
// machine. Without a limit the request waits for ever, and ctest's time-out ends the test.
constexpr auto kBound = 15s;

enum class FrozenRequest {
    Rename,
    Delete,
    Liveness,
    Folder,      // a listing
    UploadOpen,  // the server stops before it has opened the file
    UploadData,  // ... while the bytes flow, far more than the socket buffers hold
    UploadClose, // ... after it has taken every byte, before it confirms the file's close
};

constexpr char kHeldName[] = "piped.tmp";

struct SftpFrozenServerTest : ::testing::TestWithParam<FrozenRequest> {
    test::Sshd server{serverFor(GetParam())};
    test::TemporaryFolder folder;

    SftpFrozenServerTest()
    {
        test::writeFileBytes(folder.file("known_hosts"), server.knownHostsLine());
        fs::create_directories(server.home() + "/show/deck");
    }

    SftpSession session()
    {
        SshTrust trust;
        trust.knownHostsFile = folder.file("known_hosts");
        return SftpSession(kShortTimeouts, std::move(trust), {server.clientKey()});
    }

    std::string localFile(const std::string& name, const std::string& bytes)
    {
        test::writeFileBytes(folder.file(name), bytes);
        return folder.file(name);
    }

    // The server stops once the first bytes of name have arrived in "show".
    std::thread freezeOnArrival(const std::string& name)
    {
        return std::thread([this, arriving = server.home() + "/show/" + name] {
            std::error_code none;
            const auto size = [&] { return fs::file_size(arriving, none); };
            while (size() == 0 || size() == static_cast<std::uintmax_t>(-1))
                std::this_thread::sleep_for(1ms);
            server.freeze();
        });
    }

    static test::SshdOptions serverFor(FrozenRequest request)
    {
        test::SshdOptions options;
        if (request == FrozenRequest::UploadClose)
            options.holdCloseOf = kHeldName;
        return options;
    }

    // The server, which holds the close of this upload, stops once every byte has arrived.
    std::thread freezeBeforeTheEnd(std::size_t size)
    {
        return std::thread([this, size] {
            const std::string arrived = server.home() + "/show/" + kHeldName;
            std::error_code none;
            const auto give = std::chrono::steady_clock::now() + 10s;
            while (fs::file_size(arrived, none) != size && std::chrono::steady_clock::now() < give)
                std::this_thread::sleep_for(1ms);
            EXPECT_EQ(fs::file_size(arrived, none), size);
            server.freeze();
        });
    }

    bool requestMeetingTheFrozenServer(SftpSession& s)
    {
        std::thread freezer;
        bool done = false;
        switch (GetParam()) {
        case FrozenRequest::Rename:
            server.freeze();
            return s.renameFile("new.tmp", "pic.png") != FtpRenameResult::Failed;
        case FrozenRequest::Delete:
            server.freeze();
            return s.deleteFile("old.png");
        case FrozenRequest::Liveness:
            server.freeze();
            return s.stillAnswers();
        case FrozenRequest::Folder:
            server.freeze();
            return s.setCurrentDirectory("deck");
        case FrozenRequest::UploadOpen:
            server.freeze();
            return s.putFile(folder.file("picture"), "other.tmp", TransferType::Binary);
        case FrozenRequest::UploadData: {
            const std::string big = localFile("big", std::string(64 << 20, 'x'));
            freezer = freezeOnArrival("big.tmp");
            done = s.putFile(big, "big.tmp", TransferType::Binary);
            break;
        }
        case FrozenRequest::UploadClose: {
            const std::string bytes(64 << 10, 'p');
            freezer = freezeBeforeTheEnd(bytes.size());
            done = s.putBytes(bytes, kHeldName, TransferType::Binary);
            break;
        }
        }
        freezer.join();
        return done;
    }
};

TEST_P(SftpFrozenServerTest, RequestEndsWithinTheReplyLimitAndTheSessionCloses)
{
    SftpSession s = session();
    ASSERT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::Connected);
    ASSERT_TRUE(s.setCurrentDirectory("show"));
    const std::string picture = localFile("picture", "new picture");
    ASSERT_TRUE(s.putFile(picture, "new.tmp", TransferType::Binary));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(requestMeetingTheFrozenServer(s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, kBound);
    EXPECT_FALSE(s.isOpen());
    EXPECT_FALSE(s.putFile(picture, "other.tmp", TransferType::Binary));
    EXPECT_FALSE(s.stillAnswers());

    server.thaw();
    ASSERT_EQ(s.open(server.serverName(), server.user(), ""), FtpOpenResult::Connected);
    ASSERT_TRUE(s.setCurrentDirectory("show"));
    EXPECT_EQ(s.renameFile("new.tmp", "pic.png"), FtpRenameResult::Renamed);
    EXPECT_EQ(test::fileBytes(server.home() + "/show/pic.png"), "new picture");
}

std::string requestName(const ::testing::TestParamInfo<FrozenRequest>& request)
{
    static const char* const names[] = {"Rename",     "Delete",     "Liveness",   "Folder",
                                        "UploadOpen", "UploadData", "UploadClose"};
    return names[static_cast<int>(request.param)];
}

INSTANTIATE_TEST_SUITE_P(Requests, SftpFrozenServerTest,
                         ::testing::Values(FrozenRequest::Rename, FrozenRequest::Delete,
                                           FrozenRequest::Liveness, FrozenRequest::Folder,
                                           FrozenRequest::UploadOpen, FrozenRequest::UploadData,
                                           FrozenRequest::UploadClose),
                         requestName);

} // namespace
} // namespace velmora

// The transfer loop against a real FTP server, with the server's passive reply made to arrive
// before libcurl first looks for it: libcurl then reads the reply in the pass that sent EPSV and
// leaves the data connection to its next pass, offering no socket to wait on in between. The
// loop must run libcurl again at once rather than sleep.

#include "transfer/curl_handles.h"
#include "transfer/curl_transfer_loop.h"

#include "support/ftp_server_fixture.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <cstring>
#include <string>

namespace velmora {
namespace {

// libcurl 8.4.0 runs its next pass at once by itself, so it may never show the state there.
bool libcurlLeavesDataConnectionToNextPass()
{
    return curl_version_info(CURLVERSION_NOW)->version_num < 0x080400;
}

// The first socket that libcurl opens for a handle is its control connection.
struct ControlSocket {
    curl_socket_t fd = CURL_SOCKET_BAD;
    int passiveRequests = 0;
};

int noteSocket(void* clientp, curl_socket_t fd, curlsocktype)
{
    auto* control = static_cast<ControlSocket*>(clientp);
    if (control->fd == CURL_SOCKET_BAD)
        control->fd = fd;
    return CURL_SOCKOPT_OK;
}

// Called by libcurl right after it has sent a command. After EPSV or PASV it holds libcurl back
// until the server's reply can be read, so libcurl finds the reply already there.
int holdUntilPassiveReply(CURL*, curl_infotype type, char* data, size_t size, void* userdata)
{
    auto* control = static_cast<ControlSocket*>(userdata);
    const bool passive =
        size >= 4 && (std::strncmp(data, "EPSV", 4) == 0 || std::strncmp(data, "PASV", 4) == 0);
    if (type != CURLINFO_HEADER_OUT || !passive || control->fd == CURL_SOCKET_BAD)
        return 0;
    ++control->passiveRequests;
    pollfd reply{control->fd, POLLIN, 0};
    poll(&reply, 1, 10000);
    return 0;
}

struct MemoryBody {
    std::string bytes;
    std::size_t offset = 0;
};

size_t readBody(char* buffer, size_t size, size_t count, void* userdata)
{
    auto* body = static_cast<MemoryBody*>(userdata);
    const std::size_t n = std::min(size * count, body->bytes.size() - body->offset);
    std::memcpy(buffer, body->bytes.data() + body->offset, n);
    body->offset += n;
    return n;
}

struct TransferLoopTest : ::testing::Test {
    test::FtpServer server;
    CurlMulti multi{curl_multi_init()};
    CurlEasy easy{curl_easy_init()};
    ControlSocket control;
    MemoryBody body;

    TransferLoopTest()
    {
        CURL* h = easy.get();
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_FTP_USE_EPSV, 1L);
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 5L);
        curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, 5L);
        curl_easy_setopt(h, CURLOPT_SOCKOPTFUNCTION, noteSocket);
        curl_easy_setopt(h, CURLOPT_SOCKOPTDATA, &control);
        curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, holdUntilPassiveReply);
        curl_easy_setopt(h, CURLOPT_DEBUGDATA, &control);
        curl_easy_setopt(h, CURLOPT_READFUNCTION, readBody);
        curl_easy_setopt(h, CURLOPT_READDATA, &body);
    }

    std::string url(const std::string& path) const
    {
        return "ftp://127.0.0.1:" + std::to_string(server.port()) + "/" + path;
    }

    CURLcode login(TransferLoopCounters* counters = nullptr)
    {
        curl_easy_setopt(easy.get(), CURLOPT_URL, url("").c_str());
        curl_easy_setopt(easy.get(), CURLOPT_NOBODY, 1L);
        curl_easy_setopt(easy.get(), CURLOPT_UPLOAD, 0L);
        return runTransfer(multi.get(), easy.get(), counters);
    }

    CURLcode upload(const std::string& name, const std::string& bytes,
                    TransferLoopCounters* counters)
    {
        body = {bytes, 0};
        curl_easy_setopt(easy.get(), CURLOPT_URL, url(name).c_str());
        curl_easy_setopt(easy.get(), CURLOPT_NOBODY, 0L);
        curl_easy_setopt(easy.get(), CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(easy.get(), CURLOPT_INFILESIZE_LARGE,
                         static_cast<curl_off_t>(bytes.size()));
        return runTransfer(multi.get(), easy.get(), counters);
    }
};

TEST_F(TransferLoopTest, PassiveReplyAlreadyThereOpensTheDataConnectionWithoutSleeping)
{
    ASSERT_EQ(login(), CURLE_OK);
    ASSERT_NE(control.fd, CURL_SOCKET_BAD);

    // Over the control connection that the login left open, as a session's uploads go.
    const std::string names[] = {"Velmora1.png", "Velmora.htm", "Velmora2.png", "Velmora.htm"};
    int provoked = 0;
    for (int i = 0; i < 4; ++i) {
        const std::string bytes(1000 * (i + 1), static_cast<char>('a' + i));
        TransferLoopCounters counters;
        ASSERT_EQ(upload(names[i], bytes, &counters), CURLE_OK) << names[i];
        EXPECT_EQ(server.file(names[i]), bytes);
        EXPECT_EQ(counters.blindWaits, 0) << names[i] << ": slept while libcurl had no socket";
        if (counters.noSocketPasses > 0)
            ++provoked;
    }
    EXPECT_EQ(control.passiveRequests, 4);
    if (libcurlLeavesDataConnectionToNextPass()) {
        EXPECT_EQ(provoked, 4) << "the reply came early, yet libcurl always offered a socket";
    }
    EXPECT_EQ(server.log({"USER"}).size(), 1u);
    EXPECT_TRUE(server.log({"PORT", "EPRT"}).empty());
}

TEST_F(TransferLoopTest, TheTransfersOwnResultComesBack)
{
    ASSERT_EQ(login(), CURLE_OK);
    TransferLoopCounters counters;
    // libcurl changes into each folder first; the server refuses the one that is not there.
    EXPECT_EQ(upload("no/such/folder/Velmora1.png", "x", &counters), CURLE_REMOTE_ACCESS_DENIED);
    EXPECT_GT(counters.passes, 0);

    server.stop();
    multi.reset(curl_multi_init()); // the old one takes the control connection with it
    EXPECT_EQ(login(), CURLE_COULDNT_CONNECT);
}

} // namespace
} // namespace velmora

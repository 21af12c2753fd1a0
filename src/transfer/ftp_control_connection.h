#pragma once
// The control connection to an FTP or FTPS server through libcurl: set up once for the server and
// the login, then used for one request after another. libcurl keeps the connection in the multi
// handle between requests and opens a new one by itself when the server closed it; every request
// therefore first returns to the directory last set, so that nothing lands in the login
// directory by mistake.

#include "transfer/curl_handles.h"
#include "transfer/ftp_reply.h"
#include "transfer/ftp_session_types.h"
#include "transfer/server_address.h"
#include "transfer/tls_peer_key.h"
#include "transfer/transfer_loop_counters.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class FtpControlConnection {
public:
    struct Request {
        std::string path;                  // the URL's path, relative to the login directory
        std::vector<std::string> commands; // sent first; a "*" before one ignores its failure
        bool upload = false;
        TransferType type = TransferType::Binary;
        curl_read_callback read = nullptr;
        void* source = nullptr;
        curl_off_t size = -1;
    };

    // Handles for address, protected as its transport says (control and data connections, TLS
    // 1.2), logging in as userName (anonymously when empty). Nothing is sent yet. False when
    // libcurl gave no handles.
    bool setUp(const ServerAddress& address, const std::string& userName,
               const std::string& password, const FtpTimeouts& timeouts, const std::string& caFile);
    bool isOpen() const { return easy_ && multi_; }
    // Ends the connection (with QUIT where the server still listens).
    void close();
    void limitTo(std::chrono::steady_clock::time_point deadline);

    // Runs request to its end: CURLE_OK when the transfer and every command without "*" went
    // through. Refused while the directory is unknown or after the deadline.
    CURLcode perform(const Request& request);
    // The commands and replies of the last request.
    const FtpDialogue& dialogue() const { return dialogue_; }
    // The handle, for TLS options that the next request is to use.
    CURL* handle() { return easy_.get(); }
    // What the last TLS handshake showed of the server; cleared before each request.
    const TlsPeerKey& peerKey() const { return peerKey_; }

    // Where later requests return to: the server's absolute name of the directory.
    void setDirectory(const std::string& absolute) { directory_ = absolute; }
    // A change of directory went half through: no request runs any more.
    void loseDirectory() { directoryUnknown_ = true; }

    const TransferLoopCounters& counters() const { return counters_; }

private:
    TlsPeerKey peerKey_;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    // Declared before the handles, which libcurl may still use while it cleans up.
    FtpDialogue dialogue_;
    // Keeps the control connection between the requests.
    CurlMulti multi_;
    CurlEasy easy_;
    std::string baseUrl_;
    std::string directory_;
    bool directoryUnknown_ = false;
    TransferLoopCounters counters_;
};

} // namespace velmora

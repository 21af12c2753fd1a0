#pragma once
// The libcurl handles of one SFTP connection and the requests made on it. libcurl keeps the SSH
// connection in the multi handle between requests, and opens a new one by itself (with the host
// key checked again) when the server closed it.
//
// libcurl waits for an SSH server's replies without any time-out of its own, so every request
// here ends once the server has given no sign for the reply limit. A request that ran out of
// time closes the connection: what the SSH connection is in is unknown, and a server that stopped
// answering one request would only let each later one wait as long again.
//
// SFTP has no current directory on the server: the connection keeps it as a path prefix, "~"
// (where the login starts, the user's home) or below it, or absolute.

#include "transfer/curl_handles.h"
#include "transfer/transfer_loop_counters.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class SftpConnection {
public:
    // Starts over for the server at baseUrl ("sftp://host:port"): the login folder as the
    // current directory, no counts yet. The handles come with adopt. replyLimit: the longest wait
    // for any sign of the server during a request.
    void start(std::string baseUrl, std::chrono::milliseconds replyLimit);
    // Takes handles whose connection and login options are set.
    void adopt(CurlMulti multi, CurlEasy easy);
    bool isOpen() const { return easy_ && multi_; }
    void close();
    void limitTo(std::chrono::steady_clock::time_point deadline);
    CURL* handle() { return easy_.get(); }

    // Runs one request to its end on path (a URL path; "/~/" is the login folder): the quote
    // commands first, then a listing of path when listing, an upload of the bytes upload points
    // to when it is given, else nothing more. Refused after the deadline; closes the connection
    // when it ran out of time.
    CURLcode perform(const std::string& path, const std::vector<std::string>& commands,
                     bool listing, const std::string* upload = nullptr);

    // The current directory as a prefix: "~" or below, or absolute.
    const std::string& prefix() const { return prefix_; }
    void setPrefix(std::string prefix) { prefix_ = std::move(prefix); }
    // A name below the current directory, as a URL path ("/~/" is the home); the directory
    // itself for an empty name.
    std::string urlPath(const std::string& name) const;
    // The same name for a quote command. libcurl expands "/~/" only outside quotes, and a name
    // with spaces needs them: a relative name starts in the login folder as well.
    std::string quotable(const std::string& name) const;

    const TransferLoopCounters& counters() const { return counters_; }

private:
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    CurlMulti multi_;
    CurlEasy easy_;
    std::string baseUrl_;
    std::chrono::milliseconds replyLimit_{0};
    std::string prefix_ = "~";
    TransferLoopCounters counters_;
};

// libcurl's SFTP quote commands take a name in double quotes with backslash escapes, so that
// spaces and quotes stay part of it.
std::string quotedSftpName(const std::string& path);

} // namespace velmora

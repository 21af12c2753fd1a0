#pragma once
// The presenter's web server for a load benchmark: Debian's Apache (event MPM, so a thousand
// keep-alive connections do not each hold a process) serving one folder on 127.0.0.1 from a
// private configuration on a free port, with an access log of every answer's status, body bytes
// and address. Stopped when the object goes.

#include "support/launched_program.h" // tests/support
#include "support/temporary_folder.h" // tests/support

#include <cstdint>
#include <memory>
#include <string>

namespace velmora::bench {

// The answers the origin logged between two points of its access log.
struct OriginTally {
    long requests = 0;
    long pictureRequests = 0; // "*.png"
    long pageRequests = 0;    // "Velmora.htm"
    std::uintmax_t bytes = 0; // bodies only, as %B counts them
};

class OriginServer {
public:
    // documentRoot must exist and be readable by Apache's unprivileged user. lifetimeSeconds: the
    // server ends by itself after that long, should this process be killed before it can stop it.
    OriginServer(const std::string& documentRoot, int lifetimeSeconds);
    ~OriginServer();
    OriginServer(const OriginServer&) = delete;
    OriginServer& operator=(const OriginServer&) = delete;

    bool running() const { return port_ != 0; }
    int port() const { return port_; }
    std::string url(const std::string& path) const; // path begins with "/"
    std::string errorLog() const;

    // One line per answer: "<status> <body bytes or -> <path with query>".
    std::string accessLog() const { return folder_.path() + "/access.log"; }
    // A point in the access log: what has been logged so far.
    std::uintmax_t logMark() const;
    OriginTally tally(std::uintmax_t from, std::uintmax_t to) const;

private:
    bool start(int port, int attempt, int lifetimeSeconds);
    void stop();

    std::string documentRoot_;
    test::TemporaryFolder folder_;
    std::unique_ptr<test::LaunchedProgram> process_;
    int port_ = 0;
};

} // namespace velmora::bench

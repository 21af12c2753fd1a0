#pragma once
// A caching proxy in front of the presenter's web server, as a presenter who outgrew one server
// would put up: Debian's nginx with proxy_cache, from a private configuration and cache folder
// on a free port of 127.0.0.1. The data page is kept for one second, pictures for ten minutes;
// the query string is part of the cache key, and concurrent misses of one address wait for the
// first one's answer (proxy_cache_lock) instead of all going to the origin. Stopped when the
// object goes.

#include "support/launched_program.h" // tests/support
#include "support/temporary_folder.h" // tests/support

#include <memory>
#include <string>

namespace velmora::bench {

class CachingProxy {
public:
    // lifetimeSeconds: nginx ends by itself after that long, should this process be killed first.
    CachingProxy(int originPort, int lifetimeSeconds);
    ~CachingProxy();
    CachingProxy(const CachingProxy&) = delete;
    CachingProxy& operator=(const CachingProxy&) = delete;

    bool running() const { return port_ != 0; }
    int port() const { return port_; }
    std::string url(const std::string& path) const; // path begins with "/"
    std::string errorLog() const;

private:
    bool start(int originPort, int port, int attempt, int lifetimeSeconds);
    void stop();

    test::TemporaryFolder prefix_;
    std::unique_ptr<test::LaunchedProgram> process_;
    int port_ = 0;
};

} // namespace velmora::bench

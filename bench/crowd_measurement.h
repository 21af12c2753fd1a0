#pragma once
// One measurement of the spectators benchmark: a crowd of simulated spectators on one route to
// the pictures for a set time, what the origin served them meanwhile, what the program uploaded,
// and how long a change on screen took to reach each of them.

#include "caching_proxy.h"
#include "marked_screen.h"
#include "origin_server.h"
#include "spectator_crowd.h"
#include "support/ftp_server_fixture.h" // tests/support

#include <map>
#include <string>
#include <vector>

namespace velmora::bench {

// The four ways the spectators reach the pictures, in the order printed.
struct Route {
    const char* name;
    ViewerPattern pattern;
    bool proxied;
};
constexpr Route kRoutes[] = {{"shared, nginx", ViewerPattern::Shared, true},
                             {"shared, direct", ViewerPattern::Shared, false},
                             {"unique, direct", ViewerPattern::Unique, false},
                             {"unique, nginx", ViewerPattern::Unique, true}};
constexpr int kRouteCount = 4;

struct Measurement {
    double requestsPerMinute = 0;
    double pagesPerMinute = 0;
    double picturesPerMinute = 0;
    double megabytesPerMinute = 0;
    double uploadsPerMinute = 0; // pictures the program put on the server
    std::vector<double> delaysMs;
    int missed = 0; // a spectator that never got a change within the time
    long failures = 0;
};

class CrowdMeasurement {
public:
    // seconds: the time counted per measurement; refreshMs: the presenter's BrowserRefresh.
    CrowdMeasurement(double seconds, int refreshMs, MarkedScreen& screen,
                     const test::FtpServer& ftp, const OriginServer& origin,
                     const CachingProxy& proxy)
        : seconds_(seconds), refreshMs_(refreshMs), screen_(screen), ftp_(ftp), origin_(origin),
          proxy_(proxy)
    {
    }

    // One crowd on one route: let the spectators arrive, count the origin's answers for the set
    // time, then (still screen) change the screen once, and give the change time to reach them.
    Measurement measure(const Route& route, int spectators, bool still, unsigned seed);

private:
    void delays(const SpectatorCrowd& crowd, int spectators,
                const std::vector<ScreenChange>& followed, Measurement& m);

    double seconds_;
    int refreshMs_;
    MarkedScreen& screen_;
    const test::FtpServer& ftp_;
    const OriginServer& origin_;
    const CachingProxy& proxy_;
    std::map<std::string, int> changeOf_; // picture content -> the change it shows
};

} // namespace velmora::bench

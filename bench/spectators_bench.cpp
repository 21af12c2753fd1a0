// Load of many spectators on the presenter's web server: the whole program (velmora, started with
// the presentation running, PauseSeconds=0) presents a private 1920 x 1080 Xvfb to the
// repository's FTP server on 127.0.0.1, whose folder Apache serves; nginx with proxy_cache stands
// in front of Apache as a presenter's caching proxy or CDN would. N simulated spectators
// (default 10, 100 and 1000) poll as the viewer script does, once with the addresses the current
// script uses (shared by all spectators within a refresh interval, a picture's address naming
// its content) and once with the unique addresses of the script before them; each behind nginx
// and directly at Apache. Prints, for a still screen and for a scrolling one, the origin's
// requests and bytes per minute from Apache's access log, and how long a change on screen took
// to reach the spectators (median and maximum over all of them).
//
//   build-bench/bench/spectators_bench [--seconds S] [--spectators N,N,...] [--refresh MS]
//                                      [--program PATH]
//
// S seconds counted per measurement (default 6, at most 60; 24 measurements with the defaults,
// each with about 6 s more to let the spectators arrive and a change reach them, 5 to 8 minutes
// in all); N up to 5000 spectators; MS is the presenter's BrowserRefresh (default 1000); PATH is
// the program to run (default: the velmora built beside this benchmark).

#include "bench_screen.h"
#include "caching_proxy.h"
#include "crowd_measurement.h"
#include "marked_screen.h"
#include "origin_server.h"
#include "run_command.h"
#include "scrolling_document.h"
#include "support/file_bytes.h"         // tests/support
#include "support/ftp_server_fixture.h" // tests/support
#include "support/temporary_folder.h"   // tests/support
#include "upload_watch.h"
#include "velmora_process.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Options {
    double seconds = 6;
    std::vector<int> spectators = {10, 100, 1000};
    int refreshMs = 1000;
    std::string program = VELMORA_BINARY;
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--seconds") == 0 && hasValue)
            options.seconds = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--refresh") == 0 && hasValue)
            options.refreshMs = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--program") == 0 && hasValue)
            options.program = argv[++i];
        else if (std::strcmp(argv[i], "--spectators") == 0 && hasValue) {
            options.spectators.clear();
            std::istringstream list(argv[++i]);
            for (std::string n; std::getline(list, n, ',');)
                options.spectators.push_back(std::atoi(n.c_str()));
        } else
            return false;
    }
    const bool countsGood = !options.spectators.empty() &&
                            std::all_of(options.spectators.begin(), options.spectators.end(),
                                        [](int n) { return n > 0 && n <= 5000; });
    return countsGood && options.seconds > 0 && options.seconds <= 60 && options.refreshMs >= 250 &&
           options.refreshMs <= 10000;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

void printTable(const char* screenName, const std::vector<int>& counts,
                const std::vector<std::vector<bench::Measurement>>& results)
{
    const std::string title = std::string(screenName) + " screen";
    std::printf("\n%-20s", title.c_str());
    for (const auto& route : bench::kRoutes)
        std::printf("| %-21s", route.name);
    std::printf("\n");
    for (std::size_t n = 0; n < counts.size(); ++n) {
        const auto& row = results[n];
        const std::string who = std::to_string(counts[n]) + " spectators";
        std::printf("%-20s", who.c_str());
        for (const auto& m : row)
            std::printf("| %7.0f req/min      ", m.requestsPerMinute);
        std::printf("\n%-20s", "  pages + pictures");
        for (const auto& m : row)
            std::printf("| %7.0f + %-7.0f    ", m.pagesPerMinute, m.picturesPerMinute);
        std::printf("\n%-20s", "  origin bytes");
        for (const auto& m : row)
            std::printf("| %9.1f MB/min     ", m.megabytesPerMinute);
        std::printf("\n%-20s", "  change seen after");
        for (const auto& m : row) {
            char cell[64];
            std::snprintf(
                cell, sizeof cell, "%.0f / %.0f ms", median(m.delaysMs),
                m.delaysMs.empty() ? 0.0 : *std::max_element(m.delaysMs.begin(), m.delaysMs.end()));
            std::printf("| %-21s", m.delaysMs.empty() ? "-" : cell);
        }
        std::printf("\n%-20s", "  missed, failures");
        for (const auto& m : row)
            std::printf("| %5d, %-14ld", m.missed, m.failures);
        std::printf("\n%-20s", "  velmora uploads");
        for (const auto& m : row)
            std::printf("| %7.0f pictures/min ", m.uploadsPerMinute);
        std::printf("\n");
    }
    std::printf("(change seen after: median / max from a change on screen to a spectator having "
                "it; missed: spectators who did not have it in time)\n");
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--seconds S] [--spectators N,N,...] [--refresh MS] "
                     "[--program PATH]\n",
                     argv[0]);
        return 2;
    }
    if (!std::filesystem::exists(options.program)) {
        std::fprintf(stderr, "no program at %s\n", options.program.c_str());
        return 1;
    }
    for (const char* tool : {"Xvfb", "/usr/sbin/apache2", "/usr/sbin/nginx", "/usr/bin/python3"})
        if (!(tool[0] == '/' ? access(tool, X_OK) == 0 : bench::commandExists(tool))) {
            std::fprintf(stderr, "%s is missing (scripts/install-deps.sh)\n", tool);
            return 1;
        }

    // Every measurement: the spectators' arrival, the counted seconds, the change's way out.
    const double perMeasurement = options.seconds + 2.5 + 3.0 * options.refreshMs / 1000.0 + 1;
    const int measurements = 2 * bench::kRouteCount * static_cast<int>(options.spectators.size());
    const int lifetime = static_cast<int>(measurements * perMeasurement) + 180;

    test::TemporaryFolder folder;
    bench::BenchScreen bench(kWidth, kHeight, argv[0], bench::scrollingDocumentContent);
    if (!bench.running())
        return 1;
    test::VirtualDisplay& xvfb = bench.display();
    xvfb.movePointer(kWidth / 2, kHeight / 3);
    const bench::ScrollingDocument document(kWidth, kHeight);
    bench::MarkedScreen screen(xvfb, document); // from here on the display is its own
    screen.changeStill();

    test::FtpServerOptions ftpOptions;
    ftpOptions.keepEveryVersion = false;
    const test::FtpServer ftp(ftpOptions);
    const std::string site = ftp.root() + "/bench";
    std::filesystem::create_directory(site);
    // Apache serves as www-data when this runs as root: let it through the private folders.
    for (const auto& through :
         {std::filesystem::path(ftp.root()).parent_path().string(), ftp.root()})
        std::filesystem::permissions(through, std::filesystem::perms::others_exec,
                                     std::filesystem::perm_options::add);
    const bench::OriginServer origin(site, lifetime);
    if (!origin.running()) {
        std::fprintf(stderr, "Apache did not start: %s\n", origin.errorLog().c_str());
        return 1;
    }
    const bench::CachingProxy proxy(origin.port(), lifetime);
    if (!proxy.running()) {
        std::fprintf(stderr, "nginx did not start: %s\n", proxy.errorLog().c_str());
        return 1;
    }

    const std::string runFolder = folder.path() + "/velmora";
    std::filesystem::create_directory(runFolder);
    bench::UploadWatch firstPage(ftp.logPath(), bench::VelmoraProcess::pagePath());
    bench::VelmoraProcess velmora(options.program, xvfb.name(),
                                  "127.0.0.1:" + std::to_string(ftp.port()), runFolder, "",
                                  options.refreshMs);
    if (!firstPage.waitForCount(1, Clock::now() + std::chrono::seconds(60))) {
        const std::string said = test::fileBytes(runFolder + "/velmora.out");
        const std::string got = test::fileBytes(ftp.logPath());
        std::fprintf(stderr,
                     "velmora uploaded no data page within 60 s; it said:\n%s\nthe FTP "
                     "server got:\n%s\n",
                     said.c_str(), got.substr(got.size() > 2000 ? got.size() - 2000 : 0).c_str());
        return 1;
    }

    std::printf("%d to %d spectators polling every %d ms, a %d x %d screen presented with "
                "PauseSeconds=0 over FTP to Apache, nginx proxy_cache in front; %g s counted "
                "per measurement, %u cores, load %s\n",
                options.spectators.front(), options.spectators.back(), options.refreshMs, kWidth,
                kHeight, options.seconds, std::thread::hardware_concurrency(),
                loadAverage().c_str());
    std::printf("shared: the viewer's addresses shared within a refresh interval; unique: a "
                "unique address for every load, as before\n");
    std::fflush(stdout);

    bench::CrowdMeasurement measuring(options.seconds, options.refreshMs, screen, ftp, origin,
                                      proxy);
    for (const bool still : {true, false}) {
        if (!still)
            screen.startScrolling(std::chrono::milliseconds(2500));
        std::vector<std::vector<bench::Measurement>> results;
        unsigned seed = 1;
        for (const int n : options.spectators) {
            results.emplace_back();
            for (const auto& route : bench::kRoutes) {
                const bench::Measurement m = measuring.measure(route, n, still, seed++);
                std::printf("%s screen, %4d spectators, %-15s %7.0f req/min %8.1f MB/min, "
                            "change seen after %.0f ms (median)\n",
                            still ? "still" : "scrolling", n, route.name, m.requestsPerMinute,
                            m.megabytesPerMinute, median(m.delaysMs));
                std::fflush(stdout);
                results.back().push_back(m);
            }
        }
        printTable(still ? "still" : "scrolling", options.spectators, results);
        std::fflush(stdout);
    }
    if (!velmora.running())
        std::printf("warning: velmora ended during the run\n");
    std::printf("load at the end: %s\n", loadAverage().c_str());
    return 0;
}

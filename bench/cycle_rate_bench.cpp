// Presentation cycles per second of the whole program (velmora, started with the presentation
// running and PauseSeconds=0) on a private 1920 x 1080 Xvfb showing a document with a ticking
// clock (a small corner that changes every 10 ms: a still screen sends nothing), or a text
// document scrolling one line every 30 ms without pause (--screen scrolling), uploading to the
// repository's FTP server on 127.0.0.1; side by side in the same run with a peer pipeline doing
// the same job (ImageMagick "import -window root" to PNG, then curl uploading the picture and a
// data page to the same server). Rounds alternate between the two so that both see the same
// load; a cycle counts when its data page has arrived on the server. Prints both rates and the
// ratio. With --memory C the program then runs alone on the same screen for C cycles, and its
// resident memory is printed after 100 cycles and after C.
//
//   build-bench/bench/cycle_rate_bench [--seconds S] [--rounds N] [--program PATH] [--intervals]
//                                      [--screen still|scrolling] [--memory C]
//
// S seconds of counted cycles per round (default 10) after a first complete cycle that is not
// counted; N rounds of each contender (default 3); PATH is the program to measure (default: the
// velmora built beside this benchmark); --intervals also prints each counted cycle's duration.

#include "bench_screen.h"
#include "changing_corner.h"
#include "cycle_round.h"
#include "document_like_content.h"
#include "peer_loop.h"
#include "peer_pipeline.h"
#include "resident_memory.h"
#include "run_command.h"
#include "screen_scroller.h"
#include "scrolling_document.h"
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
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace velmora;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Options {
    double seconds = 10;
    int rounds = 3;
    std::string program = VELMORA_BINARY;
    bool intervals = false;
    bool scrolling = false;
    int memoryCycles = 0; // 0: no memory run
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--intervals") == 0)
            options.intervals = true;
        else if (std::strcmp(argv[i], "--seconds") == 0 && hasValue)
            options.seconds = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--rounds") == 0 && hasValue)
            options.rounds = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--program") == 0 && hasValue)
            options.program = argv[++i];
        else if (std::strcmp(argv[i], "--screen") == 0 && hasValue)
            options.scrolling = std::strcmp(argv[++i], "scrolling") == 0;
        else if (std::strcmp(argv[i], "--memory") == 0 && hasValue)
            options.memoryCycles = std::atoi(argv[++i]);
        else
            return false;
    }
    return options.seconds > 0 && options.rounds > 0;
}

double median(std::vector<double> values)
{
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

std::uintmax_t sizeOf(const std::string& path)
{
    std::error_code missing;
    const auto size = std::filesystem::file_size(path, missing);
    return missing ? 0 : size;
}

void printIntervals(const char* who, const bench::CycleRound& round)
{
    std::printf("  %s cycle ms:", who);
    for (const double ms : round.milliseconds)
        std::printf(" %.0f", ms);
    std::printf("\n");
}

// Runs the program alone for `cycles` cycles and prints its resident memory after 100 and after
// all of them.
bool measureMemory(const Options& options, const std::string& display,
                   const test::FtpServer& server, const std::string& folder, int cycles)
{
    using Clock = bench::UploadWatch::Clock;
    bench::UploadWatch watch(server.logPath(), bench::VelmoraProcess::pagePath());
    bench::VelmoraProcess velmora(options.program, display, server.port(), folder);
    const auto deadline = Clock::now() + std::chrono::seconds(30 + cycles);
    std::printf("resident memory of velmora:");
    for (const int mark : {100, cycles}) {
        if (mark > cycles || !watch.waitForCount(static_cast<std::size_t>(mark), deadline)) {
            std::printf(" (no %d cycles in time)\n", mark);
            return false;
        }
        std::printf(" %ld KiB after %d cycles", bench::residentKiB(velmora.pid()), mark);
        std::fflush(stdout);
    }
    std::printf("\n");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--seconds S] [--rounds N] [--program PATH] [--intervals] "
                     "[--screen still|scrolling] [--memory C]\n",
                     argv[0]);
        return 2;
    }
    if (!std::filesystem::exists(options.program)) {
        std::fprintf(stderr, "no program at %s\n", options.program.c_str());
        return 1;
    }

    for (const char* tool : {"Xvfb", "import", "curl", "/usr/bin/python3"})
        if (!(tool[0] == '/' ? access(tool, X_OK) == 0 : bench::commandExists(tool))) {
            std::fprintf(stderr,
                         "%s is missing (scripts/install-deps.sh; curl: Debian package curl)\n",
                         tool);
            return 1;
        }

    velmora::test::TemporaryFolder folder;
    // The driver draws the document with Qt off screen; velmora gets the Xvfb.
    bench::BenchScreen bench(kWidth, kHeight, argv[0],
                             options.scrolling ? bench::scrollingDocumentContent
                                               : bench::documentLikeContent);
    if (!bench.running())
        return 1;
    test::VirtualDisplay& xvfb = bench.display();
    xvfb.movePointer(kWidth / 2, kHeight / 3);
    // The program sends nothing for a still screen: on the document a small part changes all
    // the time (a clock), so that every cycle of both contenders has a new picture to send.
    std::unique_ptr<bench::ChangingCorner> clock;
    if (!options.scrolling)
        clock = std::make_unique<bench::ChangingCorner>(xvfb.name(), 120, kHeight - 160);
    std::unique_ptr<bench::ScrollingDocument> document;
    std::unique_ptr<bench::ScreenScroller> scroller; // from here on the display is its own
    if (options.scrolling) {
        document = std::make_unique<bench::ScrollingDocument>(kWidth, kHeight);
        scroller = std::make_unique<bench::ScreenScroller>(xvfb, *document);
    }

    test::FtpServerOptions serverOptions;
    serverOptions.keepEveryVersion = false;
    const test::FtpServer server(serverOptions);
    for (const char* remote : {"bench", "peer"})
        std::filesystem::create_directory(server.root() + "/" + remote);
    bench::PeerPipeline peer(xvfb.name(), server.port(), folder.path());

    std::printf("presentation cycles of a %d x %d %s document screen over FTP on 127.0.0.1, "
                "%d rounds of %g s each, %u cores, load %s\n",
                kWidth, kHeight, options.scrolling ? "scrolling" : "clock-ticking", options.rounds,
                options.seconds, std::thread::hardware_concurrency(), loadAverage().c_str());
    std::fflush(stdout);

    std::vector<double> velmoraRates, peerRates;
    for (int r = 0; r < options.rounds; ++r) {
        const std::string runFolder = folder.path() + "/velmora" + std::to_string(r + 1);
        std::filesystem::create_directory(runFolder);
        const auto v = bench::measureCycleRound(
            server.logPath(), bench::VelmoraProcess::pagePath(), options.seconds, [&] {
                return std::make_shared<bench::VelmoraProcess>(options.program, xvfb.name(),
                                                               server.port(), runFolder);
            });
        const auto p = bench::measureCycleRound(
            server.logPath(), bench::PeerPipeline::pagePath(), options.seconds,
            [&] { return std::make_shared<bench::PeerLoop>(peer); });
        if (!v || !p) {
            std::fprintf(stderr, "round %d: %s completed too few cycles in time\n", r + 1,
                         !v ? "velmora" : "the peer");
            return 1;
        }
        velmoraRates.push_back(v->rate());
        peerRates.push_back(p->rate());
        std::printf("round %d: velmora %3d cycles in %5.2f s = %5.2f/s   "
                    "peer %3d cycles in %5.2f s = %5.2f/s\n",
                    r + 1, v->cycles, v->seconds, v->rate(), p->cycles, p->seconds, p->rate());
        if (options.intervals) {
            printIntervals("velmora", *v);
            printIntervals("peer", *p);
        }
        std::fflush(stdout);
    }

    const double v = median(velmoraRates), p = median(peerRates);
    std::printf("picture size: velmora %ju bytes, peer %ju bytes\n",
                sizeOf(server.root() + "/bench/Velmora1.png"),
                sizeOf(server.root() + "/peer/Peer1.png"));
    if (peer.failures() > 0)
        std::printf("warning: %d peer cycles failed\n", peer.failures());
    std::printf("median cycles per second: velmora %.2f, peer (import + curl) %.2f\n", v, p);
    std::printf("ratio velmora / peer: %.2f (aim: at least 3)\n", p > 0 ? v / p : 0.0);
    if (scroller)
        std::printf("screens shown: %d for %d text lines scrolled\n", scroller->shown(),
                    scroller->lines());
    std::printf("load at the end: %s\n", loadAverage().c_str());
    if (options.memoryCycles > 0) {
        const std::string runFolder = folder.path() + "/memory";
        std::filesystem::create_directory(runFolder);
        if (!measureMemory(options, xvfb.name(), server, runFolder, options.memoryCycles))
            return 1;
    }
    return 0;
}

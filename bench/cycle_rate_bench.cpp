// Presentation cycles per second of the whole program (velmora, started with the presentation
// running and PauseSeconds=0) on a private 1920 x 1080 Xvfb (or --size WxH) showing a document
// with a ticking clock (a small corner that changes every 10 ms, or every M ms with --tick-ms M: a
// still screen sends nothing), a text document scrolling one line every 30 ms without pause
// (--screen scrolling), or the document standing still (--screen still: only the program's own
// window changes), uploading to the repository's FTP server on 127.0.0.1; side by side in the same
// run with a peer pipeline doing the same job (ImageMagick "import -window root" to PNG, then curl
// uploading the picture and a data page to the same server). Rounds alternate between the two so
// that both see the same load; a cycle counts when its data page has arrived on the server.
// Prints both rates and the ratio, and the processor time each contender spent over the counted
// seconds, per minute (the program: its process, all threads; the peer: the tools it ran). With
// --memory C the program then runs alone on the same screen for C cycles, and its resident memory
// is printed after 100 cycles and after C. With --wine EXE the program measured is the Windows
// build's velmora.exe (build-windows/velmora.exe) under Wine on the same screen and server,
// installed from that build into the Wine prefix that the scenarios of the Windows program use
// (not at the same time as they run).
//
//   build-bench/bench/cycle_rate_bench [--seconds S] [--rounds N] [--program PATH] [--intervals]
//                                      [--screen clock|still|scrolling] [--tick-ms M] [--size WxH]
//                                      [--memory C] [--wine EXE]
//
// S seconds of counted cycles per round (default 10) after a first complete cycle that is not
// counted; N rounds of each contender (default 3); PATH is the program to measure (default: the
// velmora built beside this benchmark); --intervals also prints each counted cycle's duration.
// The figures of the issue on change-driven capture: --tick-ms 20 (pictures per second and CPU on
// the ticking document), --screen still (CPU on a still screen; the program should send nothing
// after its first cycle), --screen scrolling (1920 x 1080 scrolling every 30 ms).

#include "bench_screen.h"
#include "changing_corner.h"
#include "cycle_round.h"
#include "document_like_content.h"
#include "load_average.h"
#include "peer_loop.h"
#include "peer_pipeline.h"
#include "posix_cpu_time.h"
#include "resident_memory.h"
#include "round_options.h"
#include "sample_statistics.h"
#include "screen_scroller.h"
#include "scrolling_document.h"
#include "side_by_side.h"
#include "support/temporary_folder.h" // tests/support
#include "upload_watch.h"
#include "velmora_process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace velmora;

enum class Screen { Clock, Still, Scrolling };

struct Options : bench::RoundOptions {
    Options() { program = VELMORA_BINARY; }
    bool intervals = false;
    Screen screen = Screen::Clock;
    int width = 1920;
    int height = 1080;
    int tickMs = 10;      // the clock's period; 10 keeps the figures of the earlier runs comparable
    int memoryCycles = 0; // 0: no memory run
    std::string wine;     // the Windows program to run under Wine instead; empty: none
};

// The program of one round or of the memory run, as the options say.
std::shared_ptr<bench::VelmoraProcess> startProgram(const Options& options,
                                                    const test::WinePrefix* wine,
                                                    const std::string& display, int ftpPort,
                                                    const std::string& folder)
{
    if (wine != nullptr)
        return std::make_shared<bench::VelmoraProcess>(*wine, display, ftpPort, folder);
    return std::make_shared<bench::VelmoraProcess>(options.program, display, ftpPort, folder);
}

bool parseScreen(const char* name, Screen& screen)
{
    for (const auto& [word, kind] :
         {std::pair{"clock", Screen::Clock}, std::pair{"still", Screen::Still},
          std::pair{"scrolling", Screen::Scrolling}})
        if (std::strcmp(name, word) == 0) {
            screen = kind;
            return true;
        }
    return false;
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--intervals") == 0)
            options.intervals = true;
        else if (bench::readRoundOption(argc, argv, i, options))
            continue;
        else if (std::strcmp(argv[i], "--screen") == 0 && hasValue) {
            if (!parseScreen(argv[++i], options.screen))
                return false;
        } else if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
            if (!bench::readScreenSize(argv[++i], options.width, options.height))
                return false;
        } else if (std::strcmp(argv[i], "--tick-ms") == 0 && hasValue)
            options.tickMs = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--memory") == 0 && hasValue)
            options.memoryCycles = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--wine") == 0 && hasValue)
            options.program = options.wine = argv[++i];
        else
            return false;
    }
    // The test window steps its grey at most every 10 ms.
    return options.valid() && options.tickMs >= 10;
}

const char* screenName(const Options& options)
{
    switch (options.screen) {
    case Screen::Still:
        return "still";
    case Screen::Scrolling:
        return "scrolling";
    case Screen::Clock:
        break;
    }
    return "clock-ticking";
}

double cpuPerMinute(const bench::CycleRound& round)
{
    return bench::cpuSecondsPerMinute(round.cpuSeconds, round.cpuWindow);
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
bool measureMemory(const Options& options, const test::WinePrefix* wine, const std::string& display,
                   const test::FtpServer& server, const std::string& folder, int cycles)
{
    using Clock = bench::UploadWatch::Clock;
    bench::UploadWatch watch(server.logPath(), bench::VelmoraProcess::pagePath());
    const auto program = startProgram(options, wine, display, server.port(), folder);
    bench::VelmoraProcess& velmora = *program;
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
    const bool read = parse(argc, argv, options);
    if (const int exit = bench::sideBySideCheck(
            read, argv[0],
            "[--seconds S] [--rounds N] [--program PATH] [--intervals] "
            "[--screen clock|still|scrolling] [--tick-ms M>=10] [--size WxH] [--memory C] "
            "[--wine EXE]",
            options.program))
        return exit;

    velmora::test::TemporaryFolder folder;
    // The driver draws the document with Qt off screen; velmora gets the Xvfb.
    const bool scrolling = options.screen == Screen::Scrolling;
    const int width = options.width, height = options.height;
    bench::BenchScreen bench(width, height, argv[0],
                             scrolling ? bench::scrollingDocumentContent
                                       : bench::documentLikeContent);
    if (!bench.running())
        return 1;
    test::VirtualDisplay& xvfb = bench.display();
    xvfb.movePointer(width / 2, height / 3);
    // The program sends nothing for a still screen: on the document a small part changes all
    // the time (a clock), so that every cycle of both contenders has a new picture to send.
    std::unique_ptr<bench::ChangingCorner> clock;
    if (options.screen == Screen::Clock)
        clock =
            std::make_unique<bench::ChangingCorner>(xvfb.name(), 120, height - 160, options.tickMs);
    std::unique_ptr<bench::ScrollingDocument> document;
    std::unique_ptr<bench::ScreenScroller> scroller; // from here on the display is its own
    if (scrolling) {
        document = std::make_unique<bench::ScrollingDocument>(width, height);
        scroller = std::make_unique<bench::ScreenScroller>(xvfb, *document);
    }

    // The Windows program: installed into its Wine prefix, whose desktop is this screen.
    std::unique_ptr<test::WinePrefix> wine;
    if (!options.wine.empty()) {
        wine = std::make_unique<test::WinePrefix>(
            std::filesystem::absolute(options.wine).parent_path().string());
        wine->startServer(xvfb.name());
        wine->install(xvfb.name());
    }

    const auto started = bench::startSideBySideServer();
    const test::FtpServer& server = *started;
    bench::PeerPipeline peer(xvfb.name(), server.port(), folder.path());

    std::printf("presentation cycles of a %d x %d %s document screen over FTP on 127.0.0.1, "
                "%d rounds of %g s each, %u cores, load %s\n",
                width, height, screenName(options), options.rounds, options.seconds,
                std::thread::hardware_concurrency(), bench::loadAverage().c_str());
    if (clock)
        std::printf("the clock ticks every %d ms\n", options.tickMs);
    if (wine)
        std::printf("velmora: the Windows program %s under %s", options.wine.c_str(),
                    test::commandOutput("wine --version 2>/dev/null").c_str());
    std::fflush(stdout);

    std::vector<double> velmoraRates, peerRates, velmoraCpu, peerCpu;
    const bool still = options.screen == Screen::Still;
    for (int r = 0; r < options.rounds; ++r) {
        const std::string runFolder = folder.path() + "/velmora" + std::to_string(r + 1);
        std::filesystem::create_directory(runFolder);
        pid_t velmoraPid = -1;
        const auto v = bench::measureCycleRound(
            server.logPath(), bench::VelmoraProcess::pagePath(), options.seconds,
            [&] {
                auto process =
                    startProgram(options, wine.get(), xvfb.name(), server.port(), runFolder);
                velmoraPid = process->pid();
                return process;
            },
            {[&] { return bench::processCpuSeconds(velmoraPid); }, still});
        // The peer's tools are this process's children, each waited for when it ends.
        const auto p = bench::measureCycleRound(
            server.logPath(), bench::PeerPipeline::pagePath(), options.seconds,
            [&] { return std::make_shared<bench::PeerLoop>(peer); },
            {bench::endedChildrenCpuSeconds, still});
        if (!v || !p) {
            std::fprintf(stderr, "round %d: %s completed too few cycles in time\n", r + 1,
                         !v ? "velmora" : "the peer");
            return 1;
        }
        velmoraRates.push_back(v->rate());
        peerRates.push_back(p->rate());
        velmoraCpu.push_back(cpuPerMinute(*v));
        peerCpu.push_back(cpuPerMinute(*p));
        std::printf("round %d: velmora %3d cycles in %5.2f s = %5.2f/s, CPU %5.2f s/min   "
                    "peer %3d cycles in %5.2f s = %5.2f/s, CPU %5.2f s/min\n",
                    r + 1, v->cycles, v->seconds, v->rate(), velmoraCpu.back(), p->cycles,
                    p->seconds, p->rate(), peerCpu.back());
        if (options.intervals) {
            printIntervals("velmora", *v);
            printIntervals("peer", *p);
        }
        std::fflush(stdout);
    }

    const double v = bench::median(velmoraRates), p = bench::median(peerRates);
    std::printf("picture size: velmora %ju bytes, peer %ju bytes\n",
                sizeOf(server.root() + "/bench/Velmora1.png"),
                sizeOf(server.root() + "/peer/Peer1.png"));
    if (peer.failures() > 0)
        std::printf("warning: %d peer cycles failed\n", peer.failures());
    std::printf("median cycles per second: velmora %.2f, peer (import + curl) %.2f\n", v, p);
    std::printf("ratio velmora / peer: %.2f (aim: at least 3)\n", p > 0 ? v / p : 0.0);
    std::printf("median CPU seconds per minute: velmora %.2f, peer (its tools) %.2f%s\n",
                bench::median(velmoraCpu), bench::median(peerCpu),
                still ? " (aim for velmora on a still screen: under 0.2, no cycle)" : "");
    if (scroller)
        std::printf("screens shown: %d for %d text lines scrolled\n", scroller->shown(),
                    scroller->lines());
    std::printf("load at the end: %s\n", bench::loadAverage().c_str());
    if (options.memoryCycles > 0) {
        const std::string runFolder = folder.path() + "/memory";
        std::filesystem::create_directory(runFolder);
        if (!measureMemory(options, wine.get(), xvfb.name(), server, runFolder,
                           options.memoryCycles))
            return 1;
    }
    if (wine)
        wine->stopServer();
    return 0;
}

// Change -> picture on the server: how long after a change on the presenter's screen the
// spectators can have it. A private Xvfb (1024 x 768, or --size 1920x1080) shows a document and a
// 200 x 200 square that changes colour at irregular moments 0.25 to 0.75 s apart (seeded: both
// contenders of a round see the same moments). The whole program (velmora, started with the
// presentation running and PauseSeconds=0) and a peer loop (ImageMagick "import -window root" to
// PNG, then curl uploading the picture and a data page, over and over) take turns on the same
// screen, uploading to the repository's FTP server on 127.0.0.1, whose log says when each picture
// arrived. A change is stamped once the X server has drawn it; its latency runs to the first
// picture that arrived after it showing it (each picture is read as it arrived). Prints, for both,
// the median and 90th percentile of all rounds' changes and the ratio of the medians; also the
// latency to the first picture after the change whatever it shows (a picture taken just before
// the change and arriving just after it counts there, which flatters a contender that sends
// pictures all the time).
//
//   build-bench/bench/change_latency_bench [--seconds S] [--rounds N] [--size WxH] [--seed K]
//                                          [--program PATH]
//
// S seconds of changes per round (default 10, at most 120), N rounds of each contender (default
// 3), K the first round's seed (default 1; round r uses K + r - 1), PATH the program to measure
// (default: the velmora built beside this benchmark).

#include "bench_screen.h"
#include "change_latency.h"
#include "document_like_content.h"
#include "latency_round.h"
#include "load_average.h"
#include "peer_loop.h"
#include "peer_pipeline.h"
#include "round_options.h"
#include "sample_statistics.h"
#include "side_by_side.h"
#include "support/temporary_folder.h" // tests/support
#include "velmora_process.h"
#include "x11_colour_square.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace velmora;

struct Options : bench::RoundOptions {
    Options() { program = VELMORA_BINARY; }
    int width = 1024;
    int height = 768;
    unsigned seed = 1;
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (bench::readRoundOption(argc, argv, i, options))
            continue;
        if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
            if (!bench::readScreenSize(argv[++i], options.width, options.height))
                return false;
        } else if (std::strcmp(argv[i], "--seed") == 0 && hasValue)
            options.seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else
            return false;
    }
    // Past 120 s the square's colours (512) would come round again within a round.
    return options.valid() && options.seconds <= 120;
}

struct Contender {
    const char* name;
    bench::ChangeLatencies latencies;
    int pictures = 0;
};

void printRound(int round, const Contender& contender, const bench::ChangeLatencies& latencies,
                std::size_t pictures)
{
    std::printf("round %d %-7s: %2zu changes, %3zu pictures, median %4.0f ms, 90%% %4.0f ms "
                "(first picture after: median %4.0f ms)\n",
                round, contender.name, latencies.shownMs.size() + latencies.unshown, pictures,
                bench::median(latencies.shownMs), bench::percentile(latencies.shownMs, 0.9),
                bench::median(latencies.firstAfterMs));
    std::fflush(stdout);
}

void printSummary(const Contender& contender)
{
    const bench::ChangeLatencies& l = contender.latencies;
    std::printf("%-7s: %3zu changes measured, %d never shown, %4d pictures (%d unreadable); "
                "change -> picture showing it: median %4.0f ms, 90%% %4.0f ms; "
                "-> first picture after it: median %4.0f ms, 90%% %4.0f ms\n",
                contender.name, l.shownMs.size(), l.unshown, contender.pictures, l.unreadable,
                bench::median(l.shownMs), bench::percentile(l.shownMs, 0.9),
                bench::median(l.firstAfterMs), bench::percentile(l.firstAfterMs, 0.9));
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    const bool read = parse(argc, argv, options);
    if (const int exit = bench::sideBySideCheck(
            read, argv[0],
            "[--seconds S<=120] [--rounds N] [--size WxH] [--seed K] [--program PATH]",
            options.program))
        return exit;

    const int width = options.width, height = options.height;
    velmora::test::TemporaryFolder folder;
    bench::BenchScreen bench(width, height, argv[0], bench::documentLikeContent);
    if (!bench.running())
        return 1;
    test::VirtualDisplay& xvfb = bench.display();
    xvfb.movePointer(width / 2, height / 3);
    // Right of the program's welcome box and below its main window, clear of the pointer.
    const test::ScreenArea squareArea{width - 300, height - 300, 200, 200};
    bench::X11ColourSquare square(xvfb.name(), squareArea);

    const auto started = bench::startSideBySideServer();
    const test::FtpServer& server = *started;
    bench::PeerPipeline peer(xvfb.name(), server.port(), folder.path());

    std::printf("change -> picture on the server, %d x %d document screen with a 200 x 200 square "
                "changing colour every 0.25-0.75 s, FTP on 127.0.0.1, %d rounds of %g s each, "
                "%u cores, load %s\n",
                width, height, options.rounds, options.seconds, std::thread::hardware_concurrency(),
                bench::loadAverage().c_str());
    std::fflush(stdout);

    Contender velmora{"velmora", {}, 0}, peerLoop{"peer", {}, 0};
    for (int r = 0; r < options.rounds; ++r) {
        bench::LatencySetup setup;
        setup.serverRoot = server.root();
        setup.serverLog = server.logPath();
        setup.square = &square;
        setup.squareArea = squareArea;
        setup.screenWidth = width;
        setup.screenHeight = height;
        setup.seed = options.seed + static_cast<unsigned>(r);
        setup.seconds = options.seconds;
        for (Contender* contender : {&velmora, &peerLoop}) {
            const bool isProgram = contender == &velmora;
            const std::string roundFolder =
                folder.path() + "/" + contender->name + std::to_string(r + 1);
            setup.copyFolder = roundFolder + "-arrived";
            for (const auto& made : {roundFolder, setup.copyFolder})
                std::filesystem::create_directory(made);
            setup.pictures = isProgram ? bench::ArrivalPattern{"bench/Velmora", ".png"}
                                       : bench::ArrivalPattern{"peer/Peer", ".png"};
            const auto round = bench::measureLatencyRound(setup, [&]() -> std::shared_ptr<void> {
                if (isProgram)
                    return std::make_shared<bench::VelmoraProcess>(options.program, xvfb.name(),
                                                                   server.port(), roundFolder);
                return std::make_shared<bench::PeerLoop>(peer);
            });
            if (!round) {
                std::fprintf(stderr, "round %d: %s sent no picture in time\n", r + 1,
                             contender->name);
                return 1;
            }
            const bench::ChangeLatencies latencies = bench::changeLatencies(*round);
            printRound(r + 1, *contender, latencies, round->pictures.size());
            bench::append(contender->latencies, latencies);
            contender->pictures += static_cast<int>(round->pictures.size());
        }
    }

    printSummary(velmora);
    printSummary(peerLoop);
    const double v = bench::median(velmora.latencies.shownMs);
    const double p = bench::median(peerLoop.latencies.shownMs);
    std::printf("ratio of the medians, peer / velmora: %.2f (aim: at least 3; velmora's 90%% at "
                "most twice its median: %.2f)\n",
                v > 0 ? p / v : 0.0,
                v > 0 ? bench::percentile(velmora.latencies.shownMs, 0.9) / v : 0.0);
    if (peer.failures() > 0)
        std::printf("warning: %d peer cycles failed\n", peer.failures());
    std::printf("load at the end: %s\n", bench::loadAverage().c_str());
    return 0;
}

// Presentation cycles per second of the whole program over FTPS beside plain FTP, in the same
// run: velmora on a private 1920 x 1080 Xvfb showing a still document, PauseSeconds=0, uploading
// by turns to the repository's FTP server on 127.0.0.1 as plain FTP, with explicit TLS
// (ftpes://) and with implicit TLS (ftps://). The TLS servers have a self-signed certificate whose
// key the presenter already trusts, as after answering the first question. Rounds rotate between
// the three, so that all see the same load; a cycle counts when its data page has arrived. Prints
// the rates and each TLS rate as a share of the plain one (aim: at least 0.8).
//
//   build-bench/bench/ftps_cycle_rate_bench [--seconds S] [--rounds N] [--program PATH]

#include "bench_screen.h"
#include "cycle_round.h"
#include "document_like_content.h"
#include "support/ftp_server_fixture.h" // tests/support
#include "support/temporary_folder.h"   // tests/support
#include "support/test_certificates.h"  // tests/support
#include "velmora_process.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace velmora;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Options {
    double seconds = 10;
    int rounds = 3;
    std::string program = VELMORA_BINARY;
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--seconds") == 0 && hasValue)
            options.seconds = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--rounds") == 0 && hasValue)
            options.rounds = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--program") == 0 && hasValue)
            options.program = argv[++i];
        else
            return false;
    }
    return options.seconds > 0 && options.rounds > 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct Transport {
    const char* name;
    std::unique_ptr<test::FtpServer> server;
    std::string trustedKeys;
    std::vector<double> rates;
};

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s [--seconds S] [--rounds N] [--program PATH]\n", argv[0]);
        return 2;
    }
    if (!std::filesystem::exists(options.program)) {
        std::fprintf(stderr, "no program at %s\n", options.program.c_str());
        return 1;
    }

    test::TemporaryFolder folder;
    bench::BenchScreen screen(kWidth, kHeight, argv[0], bench::documentLikeContent);
    if (!screen.running())
        return 1;
    test::VirtualDisplay& xvfb = screen.display();
    xvfb.movePointer(kWidth / 2, kHeight / 3);

    const auto certificate = test::makeSelfSignedCertificate(folder.path(), "server");
    std::vector<Transport> transports;
    for (const auto tls :
         {test::FtpServerTls::None, test::FtpServerTls::Explicit, test::FtpServerTls::Implicit}) {
        test::FtpServerOptions serverOptions;
        serverOptions.keepEveryVersion = false;
        serverOptions.tls = tls;
        serverOptions.certificateFile = certificate.bothFile;
        Transport transport{tls == test::FtpServerTls::None       ? "ftp"
                            : tls == test::FtpServerTls::Explicit ? "ftpes"
                                                                  : "ftps",
                            std::make_unique<test::FtpServer>(serverOptions),
                            {},
                            {}};
        std::filesystem::create_directory(transport.server->root() + "/bench");
        if (tls != test::FtpServerTls::None)
            transport.trustedKeys = "127.0.0.1:" + std::to_string(transport.server->port()) + " " +
                                    certificate.pin + "\n";
        transports.push_back(std::move(transport));
    }

    std::printf("presentation cycles of a %d x %d document screen on 127.0.0.1 over plain FTP, "
                "explicit and implicit FTPS, %d rounds of %g s each\n",
                kWidth, kHeight, options.rounds, options.seconds);
    std::fflush(stdout);
    for (int r = 0; r < options.rounds; ++r) {
        std::printf("round %d:", r + 1);
        for (auto& transport : transports) {
            const std::string runFolder =
                folder.path() + "/" + transport.name + std::to_string(r + 1);
            std::filesystem::create_directory(runFolder);
            const auto round = bench::measureCycleRound(
                transport.server->logPath(), bench::VelmoraProcess::pagePath(), options.seconds,
                [&] {
                    return std::make_shared<bench::VelmoraProcess>(
                        options.program, xvfb.name(), transport.server->serverName(), runFolder,
                        transport.trustedKeys);
                });
            if (!round) {
                std::fprintf(stderr, "\nround %d: %s completed too few cycles in time\n", r + 1,
                             transport.name);
                return 1;
            }
            transport.rates.push_back(round->rate());
            std::printf("  %s %3d cycles in %5.2f s = %5.2f/s", transport.name, round->cycles,
                        round->seconds, round->rate());
            std::fflush(stdout);
        }
        std::printf("\n");
    }

    const double plain = median(transports[0].rates);
    std::printf("median cycles per second:");
    for (const auto& transport : transports)
        std::printf(" %s %.2f", transport.name, median(transport.rates));
    std::printf("\n");
    for (std::size_t i = 1; i < transports.size(); ++i)
        std::printf("ratio %s / ftp: %.2f (aim: at least 0.80)\n", transports[i].name,
                    plain > 0 ? median(transports[i].rates) / plain : 0.0);
    return 0;
}

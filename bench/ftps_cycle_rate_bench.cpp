// Presentation cycles per second of the whole program over FTPS and SFTP beside plain FTP, in the
// same run: velmora on a private 1920 x 1080 Xvfb showing a document with a ticking clock,
// PauseSeconds=0, uploading by turns to the repository's FTP server on 127.0.0.1 as
// plain FTP, with explicit TLS (ftpes://) and with implicit TLS (ftps://), and to a private sshd
// (sftp://, logging in with a throwaway ed25519 key). The servers' keys are already trusted, as
// after answering the first question. Rounds rotate between the four, so that all see the same
// load; a cycle counts when its data page has arrived. Prints the rates and each secure rate as a
// share of the plain one (aim: at least 0.8).
//
//   build-bench/bench/ftps_cycle_rate_bench [--seconds S] [--rounds N] [--program PATH]

#include "bench_screen.h"
#include "changing_corner.h"
#include "cycle_round.h"
#include "document_like_content.h"
#include "round_options.h"
#include "support/file_bytes.h"         // tests/support
#include "support/ftp_server_fixture.h" // tests/support
#include "support/sshd_fixture.h"       // tests/support
#include "support/temporary_folder.h"   // tests/support
#include "support/test_certificates.h"  // tests/support
#include "velmora_process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

using namespace velmora;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Options : bench::RoundOptions {
    Options() { program = VELMORA_BINARY; }
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
        if (!bench::readRoundOption(argc, argv, i, options))
            return false;
    return options.valid();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct Transport {
    const char* name;
    std::string serverName;
    std::string log; // "STORED <path> ..." lines, as the repository's FTP server writes them
    std::unique_ptr<test::FtpServer> server;
    std::string trustedKeys;
    std::vector<double> rates;
};

// sshd says nothing of the files an SFTP session writes; the kernel does. Each data page the
// server closed after writing becomes a line of the kind the upload watch counts, so that both
// kinds of server are timed alike.
class SftpUploadLog {
public:
    SftpUploadLog(const std::string& folder, std::string name, std::string out)
        : out_(std::move(out)), name_(std::move(name)), inotify_(inotify_init1(IN_NONBLOCK))
    {
        test::writeFileBytes(out_, "");
        if (inotify_ >= 0)
            inotify_add_watch(inotify_, folder.c_str(), IN_CLOSE_WRITE);
        follower_ = std::jthread([this](std::stop_token stop) { follow(stop); });
    }
    ~SftpUploadLog()
    {
        follower_.request_stop();
        follower_.join();
        if (inotify_ >= 0)
            close(inotify_);
    }
    const std::string& path() const { return out_; }

private:
    void follow(std::stop_token stop)
    {
        std::ofstream out(out_, std::ios::app);
        alignas(inotify_event) char buffer[4096];
        while (!stop.stop_requested() && inotify_ >= 0) {
            pollfd ready{inotify_, POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0)
                continue;
            const ssize_t n = read(inotify_, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len && name_ == event->name)
                    out << "STORED " << bench::VelmoraProcess::pagePath() << " 0\n" << std::flush;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

    std::string out_;
    std::string name_;
    int inotify_;
    std::jthread follower_;
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
    // The program sends nothing for a cycle without news: a small part of the document that
    // changes all the time (a clock) gives every cycle a new picture to send.
    const bench::ChangingCorner clock(xvfb.name(), 120, kHeight - 160);

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
                            {},
                            {},
                            std::make_unique<test::FtpServer>(serverOptions),
                            {},
                            {}};
        transport.serverName = transport.server->serverName();
        transport.log = transport.server->logPath();
        std::filesystem::create_directory(transport.server->root() + "/bench");
        if (tls != test::FtpServerTls::None)
            transport.trustedKeys = "127.0.0.1:" + std::to_string(transport.server->port()) + " " +
                                    certificate.pin + "\n";
        transports.push_back(std::move(transport));
    }
    // The program logs in as the presenter's own login name, with the default key in its home.
    test::Sshd sshd;
    setenv("USER", sshd.user().c_str(), 1);
    std::filesystem::create_directory(sshd.home() + "/bench");
    const SftpUploadLog sftpLog(sshd.home() + "/bench", "Velmora.htm", folder.file("sftp.log"));
    transports.push_back({"sftp", sshd.serverName(), sftpLog.path(), nullptr, {}, {}});

    std::printf("presentation cycles of a %d x %d document screen on 127.0.0.1 over plain FTP, "
                "explicit and implicit FTPS and SFTP, %d rounds of %g s each\n",
                kWidth, kHeight, options.rounds, options.seconds);
    std::fflush(stdout);
    for (int r = 0; r < options.rounds; ++r) {
        std::printf("round %d:", r + 1);
        for (auto& transport : transports) {
            const std::string runFolder =
                folder.path() + "/" + transport.name + std::to_string(r + 1);
            std::filesystem::create_directory(runFolder);
            if (!transport.server) {
                std::filesystem::create_directories(runFolder + "/home/.ssh");
                std::filesystem::create_directories(runFolder + "/config/Velmora");
                std::filesystem::copy_file(sshd.clientKey(), runFolder + "/home/.ssh/id_ed25519");
                test::writeFileBytes(runFolder + "/config/Velmora/known_hosts",
                                     sshd.knownHostsLine());
            }
            const auto round = bench::measureCycleRound(
                transport.log, bench::VelmoraProcess::pagePath(), options.seconds, [&] {
                    return std::make_shared<bench::VelmoraProcess>(options.program, xvfb.name(),
                                                                   transport.serverName, runFolder,
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

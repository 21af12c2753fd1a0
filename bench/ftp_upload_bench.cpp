// Time of one FTP session as a presentation cycle runs it: log in on 127.0.0.1, upload a picture
// (binary) and a data page (ASCII) over one control connection, close. Three contenders take
// turns session by session against the repository's FTP server, so that they see the same load:
//   velmora       FtpSession, as the program uses it
//   easy_perform  the same recipe driven by curl_easy_perform, as velmora did before
//   curl tool     the curl program, one connection per file (two runs per session)
// Prints median, 95th percentile and maximum per session, how many sessions took longer than
// 0.5 s, and the ratios of velmora to the curl tool.
//
//   build-ftp/bench/ftp_upload_bench [--sessions N] [--picture-bytes B]

#include "easy_perform_ftp_session.h"
#include "run_command.h"
#include "support/ftp_server_fixture.h" // tests/support
#include "support/temporary_folder.h"   // tests/support

#include "transfer/ftp_session.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;
constexpr double kSlowSessionMs = 500;

struct Options {
    int sessions = 200;
    long pictureBytes = 200 * 1024;
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--sessions") == 0 && hasValue)
            options.sessions = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--picture-bytes") == 0 && hasValue)
            options.pictureBytes = std::atol(argv[++i]);
        else
            return false;
    }
    return options.sessions > 0 && options.pictureBytes > 0;
}

struct Contender {
    Contender(std::string name, std::function<bool()> session)
        : name(std::move(name)), session(std::move(session))
    {
    }

    std::string name;
    std::function<bool()> session;
    std::vector<double> milliseconds;
    int failures = 0;

    void runOnce()
    {
        const auto start = Clock::now();
        const bool ok = session();
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        if (ok)
            milliseconds.push_back(took.count());
        else
            ++failures;
    }
    // The value below which the given share of the sessions lie.
    double quantile(double share) const
    {
        if (milliseconds.empty())
            return 0;
        std::vector<double> sorted = milliseconds;
        std::sort(sorted.begin(), sorted.end());
        const auto at = static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1));
        return sorted[at];
    }
    long slowSessions() const
    {
        return std::count_if(milliseconds.begin(), milliseconds.end(),
                             [](double ms) { return ms > kSlowSessionMs; });
    }
};

void writeInputs(const std::string& picture, const std::string& page, long pictureBytes)
{
    std::mt19937 random(7);
    std::string bytes(static_cast<std::size_t>(pictureBytes), '\0');
    for (auto& b : bytes)
        b = static_cast<char>(random() & 0xFF);
    std::ofstream(picture, std::ios::binary) << bytes;
    std::ofstream(page, std::ios::binary)
        << "<HTML>\r\n<SCRIPT>\r\nparent.imgLoad('Velmora1.png', 1, 1920, 1080, 2000);\r\n"
           "</SCRIPT>\r\n</HTML>\r\n";
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s [--sessions N] [--picture-bytes B]\n", argv[0]);
        return 2;
    }
    if (access("/usr/bin/python3", X_OK) != 0) {
        std::fprintf(stderr, "/usr/bin/python3 with pyftpdlib is missing "
                             "(scripts/install-deps.sh)\n");
        return 1;
    }
    const bool haveTool = bench::commandExists("curl");

    test::TemporaryFolder folder;
    test::FtpServerOptions serverOptions;
    serverOptions.keepEveryVersion = false;
    const test::FtpServer server(serverOptions);
    for (const char* remote : {"velmora", "easy", "tool"})
        std::filesystem::create_directory(server.root() + "/" + remote);
    const std::string picture = folder.path() + "/Velmora.png";
    const std::string page = folder.path() + "/Velmora.cnt";
    writeInputs(picture, page, options.pictureBytes);
    const std::string serverName = "127.0.0.1:" + std::to_string(server.port());
    const std::string url = "ftp://" + serverName + "/tool/";

    TransferLoopCounters loopSeen;
    std::vector<Contender> contenders;
    contenders.emplace_back("velmora", [&] {
        FtpSession session;
        const bool ok = session.open(serverName, "", "") == FtpOpenResult::Connected &&
                        session.putFile(picture, "velmora/Velmora1.png", TransferType::Binary) &&
                        session.putFile(page, "velmora/Velmora.htm", TransferType::Ascii);
        const TransferLoopCounters& c = session.transferCounters();
        loopSeen.passes += c.passes;
        loopSeen.noSocketPasses += c.noSocketPasses;
        loopSeen.blindWaits += c.blindWaits;
        return ok;
    });
    contenders.emplace_back("easy_perform", [&] {
        return bench::runEasyPerformSession(server.port(), "easy", picture, page);
    });
    if (haveTool) {
        // --noproxy: loopback only, whatever proxy the environment names.
        const std::vector<std::string> curl = {"curl", "--silent", "--show-error", "--noproxy",
                                               "*"};
        auto run = [curl](std::vector<std::string> argv) {
            argv.insert(argv.begin(), curl.begin(), curl.end());
            return bench::runCommand(argv);
        };
        contenders.emplace_back("curl tool", [&, run] {
            return run({"--upload-file", picture, url + "Velmora1.png"}) &&
                   run({"--use-ascii", "--upload-file", page, url + "Velmora.htm"});
        });
    } else {
        std::printf("curl (the program) is not installed: no ratio against it\n");
    }

    std::printf("%d FTP sessions per contender on 127.0.0.1: login, %ld-byte picture (binary), "
                "data page (ASCII); %u cores\n",
                options.sessions, options.pictureBytes, std::thread::hardware_concurrency());
    std::fflush(stdout);
    for (int i = 0; i < options.sessions; ++i)
        for (std::size_t k = 0; k < contenders.size(); ++k)
            contenders[(k + static_cast<std::size_t>(i)) % contenders.size()].runOnce();

    std::printf("%-13s %9s %9s %9s %14s %8s\n", "contender", "median ms", "p95 ms", "max ms",
                "sessions>0.5s", "failed");
    for (const auto& c : contenders)
        std::printf("%-13s %9.1f %9.1f %9.1f %14ld %8d\n", c.name.c_str(), c.quantile(0.5),
                    c.quantile(0.95), c.quantile(1.0), c.slowSessions(), c.failures);
    std::printf("velmora's loop: %d libcurl passes, %d without a socket to wait on, "
                "%d sleeps while without one\n",
                loopSeen.passes, loopSeen.noSocketPasses, loopSeen.blindWaits);
    if (haveTool) {
        const Contender& v = contenders[0];
        const Contender& t = contenders.back();
        std::printf("ratio velmora / curl tool (lower is faster): median %.2f, max %.2f\n",
                    v.quantile(0.5) / t.quantile(0.5), v.quantile(1.0) / t.quantile(1.0));
    }
    return 0;
}

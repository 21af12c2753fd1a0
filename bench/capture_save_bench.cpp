// Capture plus save of a 1920 x 1080 screen (screen-like content on a private Xvfb), side by side
// in one run with the same capture saved by the single-threaded libpng level-9 writer, and with
// ImageMagick's "import -window root png24:" of the same screen. Prints the median times and the
// ratios (how many times faster the program's path is).

#include "bench_screen.h"
#include "capture/caption_renderer.h"
#include "gui/qt_caption_renderer.h"
#include "png/png_writer.h"
#include "screen/x11_screen_source.h"
#include "libpng_reference_writer.h"
#include "screen_like_content.h"
#include "support/temporary_folder.h" // tests/support

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kRounds = 7;

double milliseconds(const std::function<bool()>& work, bool& ok)
{
    const auto start = Clock::now();
    ok = work() && ok;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool runImport(const std::string& display, const std::string& path)
{
    std::vector<std::string> args = {"import",  "-display", display,
                                     "-window", "root",     "png24:" + path};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, "import", nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int, char** argv)
{
    velmora::bench::BenchScreen bench(kWidth, kHeight, argv[0], velmora::bench::screenLikeContent);
    if (!bench.running())
        return 1;
    velmora::test::VirtualDisplay& xvfb = bench.display();
    velmora::X11ScreenSource screen(xvfb.name());

    const velmora::test::TemporaryFolder folder;
    const std::string parallelPath = folder.file("parallel.png");
    const std::string libpngPath = folder.file("libpng.png");
    const std::string importPath = folder.file("import.png");

    // The program's path: screen copy, caption line, PNG written on all cores.
    auto captureWith = [&](const std::function<bool(const velmora::RgbPicture&)>& write) {
        velmora::RgbPicture picture(kWidth, kHeight);
        if (!screen.copyRgb(0, 0, kWidth, kHeight, picture.data(), picture.stride()))
            return false;
        velmora::qtCaptionRenderer().draw(picture, " Remote Desktop:  ");
        return write(picture);
    };
    auto parallel = [&] {
        return captureWith([&](const auto& p) { return velmora::writePng(parallelPath, p); });
    };
    auto singleThreaded = [&] {
        return captureWith(
            [&](const auto& p) { return velmora::bench::writePngSingleThreaded(libpngPath, p); });
    };
    auto imageMagick = [&] { return runImport(xvfb.name(), importPath); };

    // The writers alone, on one picture already in memory.
    velmora::RgbPicture still(kWidth, kHeight);
    screen.copyRgb(0, 0, kWidth, kHeight, still.data(), still.stride());
    auto parallelWriter = [&] { return velmora::writePng(parallelPath, still); };
    auto libpngWriter = [&] { return velmora::bench::writePngSingleThreaded(libpngPath, still); };

    bool ok = true;
    std::vector<double> parallelMs, libpngMs, importMs, parallelWriterMs, libpngWriterMs;
    milliseconds(parallel, ok); // warm-up: shared segment, font, page faults
    for (int round = 0; round < kRounds; ++round) {
        parallelMs.push_back(milliseconds(parallel, ok));
        libpngMs.push_back(milliseconds(singleThreaded, ok));
        importMs.push_back(milliseconds(imageMagick, ok));
        parallelWriterMs.push_back(milliseconds(parallelWriter, ok));
        libpngWriterMs.push_back(milliseconds(libpngWriter, ok));
    }
    if (!ok) {
        std::fprintf(stderr, "a contender failed\n");
        return 1;
    }

    const double p = median(parallelMs), l = median(libpngMs), i = median(importMs);
    std::printf("capture + save of a %d x %d screen, median of %d rounds, %u cores\n", kWidth,
                kHeight, kRounds, std::thread::hardware_concurrency());
    std::printf("  velmora (parallel deflate)      %8.1f ms  %9ju bytes\n", p,
                static_cast<std::uintmax_t>(std::filesystem::file_size(parallelPath)));
    std::printf("  single-threaded libpng level 9  %8.1f ms  %9ju bytes\n", l,
                static_cast<std::uintmax_t>(std::filesystem::file_size(libpngPath)));
    std::printf("  ImageMagick import png24        %8.1f ms  %9ju bytes\n", i,
                static_cast<std::uintmax_t>(std::filesystem::file_size(importPath)));
    std::printf("ratio libpng / velmora:      %.2f\n", l / p);
    std::printf("ratio ImageMagick / velmora: %.2f\n", i / p);
    const double pw = median(parallelWriterMs), lw = median(libpngWriterMs);
    std::printf("writers alone: velmora %.1f ms, libpng %.1f ms, ratio %.2f\n", pw, lw, lw / pw);
    return 0;
}

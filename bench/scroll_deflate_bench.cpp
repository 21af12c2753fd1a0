// Compression of a continuously scrolling 1920 x 1080 text screen (bench/scrolling_document.h),
// drawn in memory, 5 text lines further each cycle (what a 150 ms cycle sees at a line every
// 30 ms). Side by side on the same screens: zlib's level 9 and other encoder settings on one
// stream and one core (the bytes every writer is held to), the writer without memory (writePng)
// and the writer that keeps the previous picture (PngWriter), both with the program's options
// (kCaptureWriteOptions). Prints bytes (whole files for the writers) and milliseconds per
// picture, medians, and the ratios against zlib level 9.
//
//   build-x/bench/scroll_deflate_bench [--cycles N] [--lines L]
//
// N pictures per writer (default 24), L text lines scrolled per cycle (default 5).

#include "png/png_writer.h"
#include "scrolling_document.h"
#include "support/file_bytes.h"       // tests/support
#include "support/qt_test_screen.h"   // tests/support
#include "support/temporary_folder.h" // tests/support

#include <zlib.h>

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using velmora::RgbPicture;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// zlib settings as deflateTune takes them; chain 0: the level's own.
struct ZlibSetting {
    const char* name;
    int level;
    int good, lazy, nice, chain;
};

// One zlib stream of the picture's scanlines (filter byte None), on this thread.
std::size_t zlibBytes(const RgbPicture& picture, const ZlibSetting& setting)
{
    std::vector<std::uint8_t> raw;
    raw.reserve((picture.stride() + 1) * static_cast<std::size_t>(picture.height()));
    for (int r = 0; r < picture.height(); ++r) {
        raw.push_back(0);
        raw.insert(raw.end(), picture.row(r), picture.row(r) + picture.stride());
    }
    z_stream z{};
    deflateInit(&z, setting.level);
    if (setting.chain > 0)
        deflateTune(&z, setting.good, setting.lazy, setting.nice, setting.chain);
    std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(raw.size())));
    z.next_in = raw.data();
    z.avail_in = static_cast<uInt>(raw.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    const std::size_t size = z.total_out;
    deflateEnd(&z);
    return size;
}

struct Row {
    std::vector<double> bytes, ms;
};

} // namespace

int main(int argc, char** argv)
{
    int cycles = 24, lines = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--cycles") == 0)
            cycles = std::max(2, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--lines") == 0)
            lines = std::max(0, std::atoi(argv[i + 1]));
    }
    velmora::test::QtTestScreen qtScreen(velmora::test::QtScreenKind::Offscreen);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    const velmora::bench::ScrollingDocument document(kWidth, kHeight);
    const velmora::test::TemporaryFolder folder;

    std::vector<RgbPicture> screens;
    for (int n = 0; n <= cycles; ++n)
        screens.push_back(document.screen(n * lines));

    std::printf("%d screens of %d x %d scrolling %d text lines of %d rows each cycle\n", cycles,
                kWidth, kHeight, lines, document.lineHeight());
    std::printf("%-34s %12s %10s %8s\n", "", "bytes", "ms", "bytes/z9");

    // Encoder settings on one stream, one core: every 4th screen is plenty for the medians.
    const ZlibSetting settings[] = {
        {"zlib level 9", 9, 0, 0, 0, 0},
        {"zlib level 9, chain 1024", 9, 32, 258, 258, 1024},
        {"zlib level 9, chain 512", 9, 32, 258, 258, 512},
        {"zlib level 9, chain 256", 9, 32, 258, 258, 256},
        {"zlib level 9, chain 128", 9, 32, 258, 258, 128},
        {"zlib level 9, chain 64", 9, 32, 258, 258, 64},
        {"zlib level 9, chain 32", 9, 32, 258, 258, 32},
        {"zlib level 6", 6, 0, 0, 0, 0},
    };
    double z9 = 0, z9Ms = 0;
    for (const ZlibSetting& setting : settings) {
        Row row;
        for (int n = 1; n <= cycles; n += 4) {
            const auto start = std::chrono::steady_clock::now();
            row.bytes.push_back(static_cast<double>(zlibBytes(screens[n], setting)));
            row.ms.push_back(msSince(start));
        }
        const double bytes = median(row.bytes);
        if (z9 == 0)
            z9 = bytes, z9Ms = median(row.ms);
        std::printf("%-34s %12.0f %10.1f %8.3f\n", setting.name, bytes, median(row.ms), bytes / z9);
        std::fflush(stdout);
    }

    // The writers with the program's options, alternating picture by picture on the same screens.
    velmora::PngWriter kept;
    const std::string keptPath = folder.file("kept.png"), plainPath = folder.file("plain.png");
    const velmora::PngWriteOptions options = velmora::kCaptureWriteOptions;
    kept.write(keptPath, screens[0], options); // the first picture has nothing to reuse
    Row withMemory, without;
    double reused = 0, pieces = 0;
    bool same = true;
    for (int n = 1; n <= cycles; ++n) {
        auto start = std::chrono::steady_clock::now();
        const bool a = kept.write(keptPath, screens[n], options);
        withMemory.ms.push_back(msSince(start));
        reused += kept.lastReusedPieces();
        pieces += kept.lastPieceCount();
        start = std::chrono::steady_clock::now();
        const bool b = velmora::writePng(plainPath, screens[n], options);
        without.ms.push_back(msSince(start));
        if (!a || !b) {
            std::fprintf(stderr, "writing picture %d failed\n", n);
            return 1;
        }
        withMemory.bytes.push_back(static_cast<double>(std::filesystem::file_size(keptPath)));
        without.bytes.push_back(static_cast<double>(std::filesystem::file_size(plainPath)));
        same = same && velmora::test::fileBytes(keptPath) == velmora::test::fileBytes(plainPath);
    }
    std::printf("%-34s %12.0f %10.1f %8.3f\n", "writePng (no memory), all cores",
                median(without.bytes), median(without.ms), median(without.bytes) / z9);
    std::printf("%-34s %12.0f %10.1f %8.3f\n", "PngWriter (memory), all cores",
                median(withMemory.bytes), median(withMemory.ms), median(withMemory.bytes) / z9);
    std::printf("PngWriter reused %.1f of %.1f pieces per picture; files identical: %s\n",
                reused / cycles, pieces / cycles, same ? "yes" : "NO");
    std::printf("speed-up of PngWriter over writePng: %.2f; over zlib level 9 on one core: %.2f\n",
                median(without.ms) / median(withMemory.ms), z9Ms / median(withMemory.ms));
    return same ? 0 : 1;
}

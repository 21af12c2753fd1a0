// Repeated captures of a 1920 x 1080 document screen (on a private Xvfb), each saved as the
// picture file, side by side in one run: the PNG writer that keeps the previous picture and
// compresses only the pieces that changed, against the writer without memory (writePng) on the
// very same pictures. Scenarios: a still screen; a clock ticking in the task bar; the clock and a
// blinking text cursor; a scrolling page, where every piece moves and is found again.
// Prints per scenario the median wall and CPU time of a cycle (screen copy, caption line, the
// change, the file) and the ratios, and whether both writers gave the same files.
// Then the program's whole capture (DesktopCapture: screen read, caption line, comparison with
// the spectators' picture, file), told the rows the scenario changes as the screen's reports tell
// them, against the same capture reading the whole screen every time.
//
//   build-x/bench/repeated_capture_bench [--cycles N] [--rounds R]
//
// N counted cycles per round and writer (default 12), R rounds (default 5); the writers take
// turns round by round.

#include "bench_screen.h"
#include "capture/caption_renderer.h"
#include "capture/desktop_capture.h"
#include "document_like_content.h"
#include "gui/qt_caption_renderer.h"
#include "png/png_writer.h"
#include "scenario_screen.h"
#include "screen/x11_screen_source.h"
#include "support/fake_message_boxes.h" // tests/support
#include "support/file_bytes.h"         // tests/support
#include "support/temporary_folder.h"   // tests/support

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

namespace {

using velmora::RgbPicture;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Scenario {
    const char* name;
    std::function<void(RgbPicture&, int cycle)> change;
    velmora::RowBands rows; // that the change touches
};

velmora::RowBands rowsOf(std::initializer_list<velmora::RowBand> bands)
{
    velmora::RowBands rows;
    for (const velmora::RowBand& band : bands)
        rows.add(band.top, band.bottom);
    return rows;
}

void fill(RgbPicture& picture, int x, int y, int width, int height, std::uint8_t r, std::uint8_t g,
          std::uint8_t b)
{
    for (int row = y; row < y + height; ++row)
        for (int col = x; col < x + width; ++col) {
            std::uint8_t* p = picture.row(row) + 3 * col;
            p[0] = r;
            p[1] = g;
            p[2] = b;
        }
}

// Seven-segment-like digits of the cycle number, 80 x 20 pixels at the right end of the task bar.
void drawClock(RgbPicture& picture, int cycle)
{
    fill(picture, kWidth - 90, kHeight - 30, 80, 20, 235, 235, 235);
    int value = cycle;
    for (int digit = 0; digit < 6; ++digit, value /= 10) {
        const int x = kWidth - 24 - digit * 12;
        const int d = value % 10;
        for (int segment = 0; segment < 7; ++segment) {
            if (!((0x7f - d * 11) >> segment & 1))
                continue;
            const bool across = segment % 3 == 0;
            fill(picture, x + (across ? 1 : (segment % 2) * 7), kHeight - 28 + (segment / 3) * 7,
                 across ? 7 : 2, across ? 2 : 7, 30, 30, 30);
        }
    }
}

void drawCursor(RgbPicture& picture, int cycle)
{
    if (cycle % 2 == 0)
        fill(picture, 712, 430, 2, 18, 0, 0, 0);
}

// The page moves up by three rows a cycle: every row of the picture changes.
void scroll(RgbPicture& picture, int cycle)
{
    const int shift = 3 * (cycle % 60 + 1);
    const std::size_t stride = picture.stride();
    std::vector<std::uint8_t> top(picture.data(), picture.data() + stride * shift);
    std::memmove(picture.data(), picture.data() + stride * shift, stride * (kHeight - shift));
    std::copy(top.begin(), top.end(), picture.row(kHeight - shift));
}

double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Timings {
    std::vector<double> wallMs, cpuMs;
};

// The second table: whole captures told the changed rows against whole captures reading the
// whole screen, taking turns round by round. True when every round's last files were the same.
template <std::size_t N>
bool compareWholeCaptures(velmora::ScreenSource& x11, const Scenario (&scenarios)[N], int cycles,
                          int rounds)
{
    std::printf("\nwhole captures (screen read, caption, comparison, file) told the changed rows, "
                "against reading the whole screen\n");
    std::printf("%-22s %21s %21s %14s %8s\n", "", "told rows ms", "whole screen ms",
                "ratio wall/cpu", "same");
    bool allSame = true;
    RgbPicture document(kWidth, kHeight);
    if (!x11.copyRgb(0, 0, kWidth, kHeight, document.data(), document.stride()))
        return false;
    for (const Scenario& scenario : scenarios) {
        velmora::bench::ScenarioScreen screen(x11, scenario.rows);
        const velmora::test::TemporaryFolder toldFolder, wholeFolder;
        velmora::ImageLibrary noLibrary; // no reductions
        velmora::test::FakeMessageBoxes boxes;
        velmora::SettingsRecord settings;
        velmora::DesktopCapture told(screen, toldFolder.folder(), noLibrary, boxes,
                                     velmora::systemClock(), {}, velmora::qtCaptionRenderer());
        velmora::DesktopCapture whole(screen, wholeFolder.folder(), noLibrary, boxes,
                                      velmora::systemClock(), {}, velmora::qtCaptionRenderer());
        RgbPicture now = document;
        std::uint32_t toldShown = 0, wholeShown = 0; // every upload goes up
        auto run = [&](int first, bool byRows, Timings& into) {
            for (int n = first; n < first + cycles; ++n) {
                now = document; // untimed: the screen of this cycle
                scenario.change(now, n);
                screen.show(now);
                const auto start = std::chrono::steady_clock::now();
                const double cpuStart = processCpuMs();
                if (byRows)
                    toldShown = told.capture(settings, toldShown,
                                             n == 0 ? velmora::RowBands::all() : scenario.rows)
                                    .picture;
                else
                    wholeShown = whole.capture(settings, wholeShown).picture;
                into.cpuMs.push_back(processCpuMs() - cpuStart);
                into.wallMs.push_back(std::chrono::duration<double, std::milli>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
            }
        };
        Timings byRows, byWhole;
        Timings warmUp;
        run(0, true, warmUp);
        run(0, false, warmUp);
        bool same = true;
        for (int round = 0; round < rounds; ++round) {
            const int first = 1 + round * cycles;
            const bool toldFirst = round % 2 == 0;
            run(first, toldFirst, toldFirst ? byRows : byWhole);
            run(first, !toldFirst, toldFirst ? byWhole : byRows);
            same = velmora::test::fileBytes(told.picturePath()) ==
                       velmora::test::fileBytes(whole.picturePath()) &&
                   same;
        }
        allSame = allSame && same;
        const double tw = median(byRows.wallMs), ww = median(byWhole.wallMs);
        const double tc = median(byRows.cpuMs), wc = median(byWhole.cpuMs);
        std::printf("%-22s %9.1f (cpu %6.1f) %9.1f (cpu %6.1f) %6.2f / %5.2f %5s\n", scenario.name,
                    tw, tc, ww, wc, ww / tw, wc / tc, same ? "yes" : "NO");
        std::fflush(stdout);
    }
    return allSame;
}

} // namespace

int main(int argc, char** argv)
{
    int cycles = 12, rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--cycles") == 0)
            cycles = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
    }

    velmora::bench::BenchScreen bench(kWidth, kHeight, argv[0],
                                      velmora::bench::documentLikeContent);
    if (!bench.running())
        return 1;
    velmora::X11ScreenSource screen(bench.display().name());

    const velmora::test::TemporaryFolder folder;
    const std::string keptPath = folder.file("kept.png");
    const std::string plainPath = folder.file("plain.png");

    const velmora::RowBand clockRows{kHeight - 30, kHeight - 10}, cursorRows{430, 448};
    const Scenario scenarios[] = {
        {"still document", [](RgbPicture&, int) {}, {}},
        {"clock in the task bar", drawClock, rowsOf({clockRows})},
        {"clock + text cursor", [](RgbPicture& p, int c) { drawClock(p, c), drawCursor(p, c); },
         rowsOf({cursorRows, clockRows})},
        {"scrolling page", scroll, velmora::RowBands::all()},
    };

    std::printf("capture + save cycles of a %d x %d document screen, %d rounds of %d cycles per "
                "writer, %u cores\n",
                kWidth, kHeight, rounds, cycles, std::thread::hardware_concurrency());
    std::printf("%-22s %21s %21s %14s %8s %8s\n", "", "with memory ms", "without memory ms",
                "ratio wall/cpu", "reused", "same");
    bool allSame = true;
    for (const Scenario& scenario : scenarios) {
        velmora::PngWriter kept;
        int reused = 0, pieces = 0; // by the writer with memory, over its counted cycles
        auto cycle = [&](int number, bool withMemory) {
            RgbPicture picture(kWidth, kHeight);
            if (!screen.copyRgb(0, 0, kWidth, kHeight, picture.data(), picture.stride()))
                return false;
            velmora::qtCaptionRenderer().draw(picture, " Remote Desktop:  ");
            scenario.change(picture, number);
            if (!withMemory)
                return velmora::writePng(plainPath, picture);
            const bool written = kept.write(keptPath, picture);
            reused += kept.lastReusedPieces();
            pieces += kept.lastPieceCount();
            return written;
        };
        auto run = [&](int first, bool withMemory, Timings& into) {
            for (int n = first; n < first + cycles; ++n) {
                const auto start = std::chrono::steady_clock::now();
                const double cpuStart = processCpuMs();
                if (!cycle(n, withMemory))
                    return false;
                into.cpuMs.push_back(processCpuMs() - cpuStart);
                into.wallMs.push_back(std::chrono::duration<double, std::milli>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
            }
            return true;
        };

        Timings withMemory, without;
        bool same = true;
        cycle(0, true); // warm-up: the first picture has nothing to reuse
        cycle(0, false);
        reused = pieces = 0;
        for (int round = 0; round < rounds; ++round) {
            const int first = 1 + round * cycles;
            const bool keptFirst = round % 2 == 0;
            const bool ok = run(first, keptFirst, keptFirst ? withMemory : without) &&
                            run(first, !keptFirst, keptFirst ? without : withMemory);
            if (!ok) {
                std::fprintf(stderr, "%s: a cycle failed\n", scenario.name);
                return 1;
            }
            // Both files now hold the picture of the round's last cycle.
            same =
                velmora::test::fileBytes(keptPath) == velmora::test::fileBytes(plainPath) && same;
        }
        allSame = allSame && same;
        const double kw = median(withMemory.wallMs), pw = median(without.wallMs);
        const double kc = median(withMemory.cpuMs), pc = median(without.cpuMs);
        std::printf("%-22s %9.1f (cpu %6.1f) %9.1f (cpu %6.1f) %6.2f / %5.2f %4.1f/%-3d %5s\n",
                    scenario.name, kw, kc, pw, pc, pw / kw, pc / kc,
                    static_cast<double>(reused) / (rounds * cycles), pieces / (rounds * cycles),
                    same ? "yes" : "NO");
        std::fflush(stdout);
    }

    allSame = compareWholeCaptures(screen, scenarios, cycles, rounds) && allSame;
    return allSame ? 0 : 1;
}

// The benchmark's marked screen: a picture the program takes of it tells which change it shows.

#include "marked_screen.h"
#include "scrolling_document.h"

#include "png/png_writer.h"
#include "screen/x11_screen_source.h"
#include "support/file_bytes.h"       // tests/support
#include "support/temporary_folder.h" // tests/support
#include "support/virtual_display.h"  // tests/support

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace velmora::bench {
namespace {

// The screen as the program sees it: its own capture of the display and its own PNG writer.
std::string capturedPng(const test::VirtualDisplay& display, const std::string& path)
{
    velmora::X11ScreenSource source(display.name());
    const auto bounds = source.bounds();
    RgbPicture picture(bounds.right - bounds.left, bounds.bottom - bounds.top);
    if (!source.copyRgb(bounds.left, bounds.top, picture.width(), picture.height(), picture.data(),
                        picture.stride()) ||
        !velmora::writePng(path, picture))
        return {};
    return test::fileBytes(path);
}

TEST(MarkedScreen, APictureOfTheScreenTellsWhichChangeItShows)
{
    test::TemporaryFolder folder;
    test::VirtualDisplay display(800, 600);
    const ScrollingDocument document(800, 600);
    MarkedScreen screen(display, document);
    using Clock = std::chrono::steady_clock;

    EXPECT_EQ(screen.changeStill().number, 0);
    const std::string first = capturedPng(display, folder.file("first.png"));
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(screen.changeShown(first, Clock::now()), 0);

    EXPECT_EQ(screen.changeStill().number, 1);
    const std::string second = capturedPng(display, folder.file("second.png"));
    EXPECT_EQ(screen.changeShown(second, Clock::now()), 1);
    // The older picture still says the older change, however late it arrives.
    EXPECT_EQ(screen.changeShown(first, Clock::now()), 0);
    // A picture cannot show a change made after it arrived.
    EXPECT_EQ(screen.changeShown(second, screen.changes()[0].at), -1);

    // Nine changes later the colours come round again: a picture shows the latest change of
    // its colour made by the time it arrived.
    for (int i = 2; i <= 9; ++i)
        screen.changeStill();
    const std::string ninth = capturedPng(display, folder.file("ninth.png"));
    EXPECT_EQ(screen.changeShown(ninth, Clock::now()), 9);
    EXPECT_EQ(screen.changeShown(second, Clock::now()), 9);

    EXPECT_EQ(screen.changeShown("not a picture", Clock::now()), -1);
    // The document without any mark.
    display.showOnRoot(document.screen(0));
    EXPECT_EQ(screen.changeShown(capturedPng(display, folder.file("plain.png")), Clock::now()), -1);
}

TEST(MarkedScreen, ScrollingScreenChangesItsMarkOnTime)
{
    test::TemporaryFolder folder;
    test::VirtualDisplay display(800, 600);
    const ScrollingDocument document(800, 600);
    MarkedScreen screen(display, document);
    screen.changeStill();
    screen.startScrolling(std::chrono::milliseconds(200));
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const std::string png = capturedPng(display, folder.file("scrolled.png"));
    const auto changes = screen.changes();
    ASSERT_GE(changes.size(), 5u);
    // The capture may have caught the screen just before the latest change.
    const int shown = screen.changeShown(png, std::chrono::steady_clock::now());
    EXPECT_TRUE(shown == changes.back().number || shown == changes.back().number - 1) << shown;
    // A still screen stops the scroll: no change comes after it.
    const ScreenChange still = screen.changeStill();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(screen.changes().back().number, still.number);
    EXPECT_EQ(still.number, static_cast<int>(screen.changes().size()) - 1);
}

} // namespace
} // namespace velmora::bench

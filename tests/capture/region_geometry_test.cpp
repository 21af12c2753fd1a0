// Where the picker's text comes from and where the picker is pushed back to; where the region
// frame goes for a region.

#include "capture/picker_tracking.h"
#include "capture/region_frame_geometry.h"
#include "capture/region_string.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

const ScreenBounds kScreen{0, 0, 1024, 768};

// Applies the correction as the window's move and size events would, until nothing changes.
OuterRect settle(OuterRect rect)
{
    for (int round = 0; round < 10; ++round) {
        const OuterRect kept = keepPickerOnScreen(rect, kScreen);
        if (kept == rect)
            return rect;
        rect = kept;
    }
    ADD_FAILURE() << "the picker does not come to rest";
    return rect;
}

TEST(PickerTracking, TextNamesExactlyThePixelsUnderTheWindow)
{
    EXPECT_EQ(regionFromOuterRect({99, 99, 300, 300}), "100,100,300,300");
    EXPECT_EQ(regionFromOuterRect({0, 0, 1024, 768}), "1,1,1024,768");
    EXPECT_EQ(regionFromOuterRect({-30, 40, 170, 240}), "-29,41,170,240");

    // Read back by the capture, the text gives the window's own rectangle.
    const CaptureRectangle captured =
        captureRectangle(regionFromOuterRect({412, 284, 612, 484}), 1024, 768);
    EXPECT_EQ(captured.x, 412);
    EXPECT_EQ(captured.y, 284);
    EXPECT_EQ(captured.width, 200);
    EXPECT_EQ(captured.height, 200);
}

TEST(PickerTracking, WindowInsideTheScreenStaysWhereItIs)
{
    for (const OuterRect rect :
         {OuterRect{412, 284, 612, 484}, OuterRect{0, 0, 1024, 768}, OuterRect{-1, -1, 199, 199}}) {
        EXPECT_EQ(keepPickerOnScreen(rect, kScreen), rect);
    }
}

TEST(PickerTracking, WindowOverAnEdgeIsPushedBackOrMadeSmaller)
{
    // Left of the screen: moved to x 0, the size kept; the text then starts at 1.
    const OuterRect left = keepPickerOnScreen({-30, 40, 170, 240}, kScreen);
    EXPECT_EQ(left, (OuterRect{0, 40, 200, 240}));
    EXPECT_EQ(regionFromOuterRect(left), "1,41,200,240");
    EXPECT_EQ(keepPickerOnScreen({40, -30, 240, 170}, kScreen), (OuterRect{40, 0, 240, 200}));
    // Over the right or bottom edge: narrower or lower, the left and top edges kept.
    EXPECT_EQ(keepPickerOnScreen({900, 100, 1100, 300}, kScreen), (OuterRect{900, 100, 1024, 300}));
    EXPECT_EQ(keepPickerOnScreen({100, 700, 300, 900}, kScreen), (OuterRect{100, 700, 300, 768}));
    // Wider than the screen and off its left edge: comes to rest covering the screen's width.
    EXPECT_EQ(settle({-50, -20, 1100, 800}), (OuterRect{0, 0, 1024, 768}));
    // Wholly beyond the right edge: it keeps a pixel rather than an impossible size.
    const OuterRect beyond = keepPickerOnScreen({2000, 100, 2200, 300}, kScreen);
    EXPECT_EQ(beyond.width(), 1);
    EXPECT_EQ(beyond.left, 2000);
}

TEST(RegionFrameGeometry, FrameLiesOnePixelOutsideTheCapturedArea)
{
    EXPECT_EQ(regionFrameGeometry("100,100,300,300", kScreen), (FrameGeometry{98, 98, 203, 203}));
    // Captured columns 99 .. 299: the outline runs through columns 98 and 300.
    const CaptureRectangle captured = captureRectangle("100,100,300,300", 1024, 768);
    const FrameGeometry frame = *regionFrameGeometry("100,100,300,300", kScreen);
    EXPECT_EQ(frame.x, captured.x - 1);
    EXPECT_EQ(frame.x + frame.width - 1, captured.x + captured.width);
    EXPECT_EQ(frame.y + frame.height - 1, captured.y + captured.height);

    // The whole screen as a region: the outline lies just outside the screen.
    EXPECT_EQ(regionFrameGeometry("1,1,1024,768", kScreen), (FrameGeometry{-1, -1, 1026, 770}));
    EXPECT_EQ(regionFrameGeometry("0,0,800,600", kScreen), (FrameGeometry{-1, -1, 802, 602}));
    EXPECT_EQ(regionFrameGeometry("100,100,100,100", kScreen), (FrameGeometry{98, 98, 3, 3}));
}

TEST(RegionFrameGeometry, NoFrameForTheWholeScreenAnUnusableTextOrNoPixels)
{
    for (const std::string region : {"", "1,1,1025,768", "10;10;200;200", "10,10,200",
                                     // These pass the check but name no pixels.
                                     ",,,", "0,0,0,0", "300,300,100,100", "100,100,99,300"}) {
        EXPECT_FALSE(regionFrameGeometry(region, kScreen).has_value()) << region;
    }
}

} // namespace
} // namespace velmora

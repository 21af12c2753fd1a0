// The region frame on a real X server without a window manager or compositor: where its
// outline shows, that it shows nothing else, lets clicks through, and that there is never more
// than one.

#include "gui/qt_region_frame.h"

#include "support/qt_screen_backdrop.h"
#include "support/qt_serve_events_until.h"
#include "support/qt_test_screen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <cstdlib>

namespace velmora {
namespace {

const ScreenBounds kScreen{0, 0, 1024, 768};
const QColor kOutline(192, 192, 0);

// Edge windows on the screen: four make one frame.
int visibleFrameEdges()
{
    int count = 0;
    for (const QWidget* window : QApplication::topLevelWidgets())
        count += window->isVisible() && window->windowTitle() == "Bildschirmbereich" ? 1 : 0;
    return count;
}

// The rectangle the four edges enclose, outline included.
QRect outlineOf(const RegionFrame& frame)
{
    QRect united;
    for (const QWidget* edge : frame.windows())
        united = united.united(edge->geometry());
    return united;
}

class RegionFrameWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        backdrop.show();
        ASSERT_TRUE(test::serveEventsUntil(
            [this] { return screen.at(500, 500) == test::kBackdropColour; }));
    }
    bool outlineAt(int x, int y) { return screen.at(x, y) == kOutline; }
    bool backdropAt(int x, int y) { return screen.at(x, y) == test::kBackdropColour; }

    test::ScreenBackdrop backdrop;
    test::ScreenPixels screen{test::qtTestDisplayName()};
    RegionFrame frame{kScreen};
};

TEST_F(RegionFrameWindowTest, OutlineRunsJustOutsideTheCapturedPixelsAndNowhereElse)
{
    ASSERT_TRUE(frame.start("100,100,300,300"));
    ASSERT_EQ(frame.windows().size(), 4u);
    EXPECT_EQ(outlineOf(frame), QRect(98, 98, 203, 203));
    for (const QWidget* edge : frame.windows()) {
        EXPECT_EQ(edge->windowTitle(), QStringLiteral("Bildschirmbereich"));
        EXPECT_TRUE(edge->windowFlags() & Qt::WindowStaysOnTopHint);
        // No window of the frame reaches into the captured area 99 .. 299.
        EXPECT_FALSE(edge->geometry().intersects(QRect(99, 99, 201, 201))) << edge->geometry().x();
    }
    ASSERT_TRUE(test::serveEventsUntil([this] { return outlineAt(98, 150); }));

    // Columns and rows 97 .. 301: the outline on 98 and 300, the backdrop everywhere else, the
    // captured area 99 .. 299 included.
    const std::vector<QColor> area = screen.area(97, 97, 205, 205);
    int wrong = 0;
    for (int row = 0; row < 205; ++row) {
        for (int col = 0; col < 205; ++col) {
            const int x = 97 + col;
            const int y = 97 + row;
            const bool inBox = x >= 98 && x <= 300 && y >= 98 && y <= 300;
            const bool onOutline = inBox && (x == 98 || x == 300 || y == 98 || y == 300);
            const QColor expected = onOutline ? kOutline : test::kBackdropColour;
            if (area[static_cast<std::size_t>(row) * 205 + col] != expected && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(RegionFrameWindowTest, ClicksInsideAndOnTheOutlineReachTheWindowBeneath)
{
    ASSERT_TRUE(frame.start("100,100,300,300"));
    ASSERT_TRUE(test::serveEventsUntil([this] { return outlineAt(98, 150); }));

    ASSERT_EQ(std::system("xdotool mousemove 200 200 click 1"), 0);
    ASSERT_TRUE(test::serveEventsUntil([this] { return backdrop.presses.size() == 1; }));
    EXPECT_EQ(backdrop.presses[0], QPoint(200, 200));

    ASSERT_EQ(std::system("xdotool mousemove 98 150 click 1"), 0);
    ASSERT_TRUE(test::serveEventsUntil([this] { return backdrop.presses.size() == 2; }));
    EXPECT_EQ(backdrop.presses[1], QPoint(98, 150));
}

TEST_F(RegionFrameWindowTest, NewRegionReplacesTheFrameAndStopRemovesIt)
{
    ASSERT_TRUE(frame.start("100,100,300,300"));
    ASSERT_TRUE(test::serveEventsUntil([this] { return outlineAt(98, 150); }));

    ASSERT_TRUE(frame.start("200,200,400,400"));
    EXPECT_EQ(visibleFrameEdges(), 4);
    EXPECT_EQ(outlineOf(frame), QRect(198, 198, 203, 203));
    ASSERT_TRUE(test::serveEventsUntil([this] { return outlineAt(198, 250); }));
    ASSERT_TRUE(test::serveEventsUntil([this] { return backdropAt(98, 150); }))
        << "the old frame stays on the screen";

    frame.stop();
    EXPECT_FALSE(frame.running());
    EXPECT_TRUE(frame.windows().empty());
    EXPECT_EQ(visibleFrameEdges(), 0);
    ASSERT_TRUE(test::serveEventsUntil([this] { return backdropAt(198, 250); }));
    frame.stop(); // nothing to stop
    EXPECT_FALSE(frame.running());
}

TEST_F(RegionFrameWindowTest, NoFrameForTheWholeScreenOrARefusedRegion)
{
    ASSERT_TRUE(frame.start("100,100,300,300"));
    ASSERT_TRUE(test::serveEventsUntil([this] { return outlineAt(98, 150); }));

    // Back to the whole screen: the frame of the former region must not stay behind.
    EXPECT_FALSE(frame.start(""));
    EXPECT_FALSE(frame.running());
    ASSERT_TRUE(test::serveEventsUntil([this] { return backdropAt(98, 150); }));

    for (const char* refused :
         {"1,1,1025,768", "10;10;200;200", "10,10,200", ",,,", "300,300,100,100"}) {
        EXPECT_FALSE(frame.start(refused)) << refused;
        EXPECT_TRUE(frame.windows().empty()) << refused;
    }
    EXPECT_EQ(visibleFrameEdges(), 0);

    // The whole screen named as a region: the outline lies just outside the screen.
    ASSERT_TRUE(frame.start("1,1,1024,768"));
    EXPECT_EQ(outlineOf(frame), QRect(-1, -1, 1026, 770));
}

} // namespace
} // namespace velmora

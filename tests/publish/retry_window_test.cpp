#include "publish/presentation_state.h"

#include "support/fake_clock.h"
#include "support/fake_message_boxes.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct RetryWindowTest : ::testing::Test {
    SharedPresentation shared;
    test::FakeClock clock{1'700'000'000};
    test::FakeMessageBoxes boxes;

    bool failAt(std::int64_t secondsAfterStart, std::int32_t window = 30)
    {
        clock.set(1'700'000'000 + secondsAfterStart);
        return shared.failureNoted(clock, boxes, window,
                                   "Die Kontroll-Datei kann nicht "
                                   "auf den Server geladen werden.");
    }
};

TEST_F(RetryWindowTest, SilentWithinTheWindowReportedAfterIt)
{
    shared.start();
    EXPECT_FALSE(failAt(0));
    EXPECT_EQ(shared.firstFailureTime(), 1'700'000'000);
    EXPECT_FALSE(failAt(10));
    EXPECT_FALSE(failAt(30)); // not strictly after the window yet
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(shared.state(), PresentationState::Running);
    EXPECT_EQ(shared.firstFailureTime(), 1'700'000'000); // later failures keep the first time

    EXPECT_TRUE(failAt(31));
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_EQ(shared.firstFailureTime(), 0);
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Fehler");
    EXPECT_EQ(shown[0].text, "Die Kontroll-Datei kann nicht auf den Server geladen werden.");
    EXPECT_EQ(shown[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(shown[0].modality, BoxModality::SystemModal);

    // After the report a new outage starts a new window.
    EXPECT_FALSE(failAt(32));
    EXPECT_EQ(shared.firstFailureTime(), 1'700'000'032);
}

TEST_F(RetryWindowTest, WindowOfZeroReportsFromTheNextSecondOn)
{
    EXPECT_FALSE(failAt(100, 0));
    EXPECT_FALSE(failAt(100, 0));
    EXPECT_TRUE(failAt(101, 0));
}

TEST_F(RetryWindowTest, PendingFailureFromLongAgoIsReportedAtOnce)
{
    EXPECT_FALSE(failAt(-3600));
    EXPECT_TRUE(failAt(0));
}

TEST_F(RetryWindowTest, WallClockStepsDoNotStretchOrShortenTheWindow)
{
    EXPECT_FALSE(failAt(0, 30));
    clock.stepWallClock(-3600); // summer time ends during the outage
    EXPECT_FALSE(failAt(30, 30));
    EXPECT_TRUE(failAt(31, 30)) << "the window ends 30 s after the first failure, not an hour later";

    clock.stepWallClock(+86400);
    EXPECT_FALSE(failAt(40, 30)) << "a step forward does not end a new window early";
    EXPECT_FALSE(failAt(70, 30));
}

TEST_F(RetryWindowTest, FailureTimesBeyond2038AreKept)
{
    clock.set(std::int64_t{1} << 32);
    EXPECT_FALSE(shared.failureNoted(clock, boxes, 30, "x"));
    EXPECT_EQ(shared.firstFailureTime(), std::int64_t{1} << 32);
}

TEST_F(RetryWindowTest, LargestWindowDoesNotWrapAround)
{
    EXPECT_FALSE(failAt(0, INT32_MAX));
    EXPECT_FALSE(failAt(100'000, INT32_MAX));
}

} // namespace
} // namespace velmora

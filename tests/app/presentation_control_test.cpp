// The state machine and the pacing step, on a fake clock with capture and cycles that the test
// holds and releases.

#include "app/presentation_control.h"
#include "app/presentation_messages.h"
#include "support/fake_clock.h"
#include "support/fake_message_boxes.h"

#include <gtest/gtest.h>

#include <utility>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace velmora {
namespace {

class RecordingDisplay final : public StatusDisplay {
public:
    void setStatusLine(const std::string& text) override { lines.push_back(text); }
    void setTrayTooltip(const std::string& text) override { tooltips.push_back(text); }
    bool inTray() const override { return tray; }
    std::string last() const { return lines.empty() ? std::string() : lines.back(); }

    std::vector<std::string> lines;
    std::vector<std::string> tooltips;
    bool tray = false;
};

// Each cycle blocks until the test lets it finish, so "an upload is still running" is real.
class HeldSteps final : public PresentationWork {
public:
    explicit HeldSteps(SharedPresentation& shared) : shared_(shared) {}

    CaptureResult captureDesktopPicture(const SettingsRecord&) override
    {
        ++captures;
        if (screenUnread)
            return {}; // names no picture
        return {captures, captures, -captures, -captures, static_cast<std::uint32_t>(captures)};
    }
    CycleOutcome runPresentationCycle(const SettingsRecord& settings,
                                      const CaptureResult& picture) override
    {
        std::unique_lock lock(mutex_);
        ++cyclesStarted;
        seenServerNames.push_back(settings.FTPServerName);
        seenPictures.push_back(picture);
        changed_.notify_all();
        changed_.wait(lock, [&] { return released_ > 0; });
        --released_;
        shared_.pictureUploaded("14:05:09");
        return outcome;
    }
    bool screenMayHaveChanged(const SettingsRecord&) override
    {
        return !reports || std::exchange(screenChanged, false);
    }
    bool reportsScreenChanges() const override { return reports; }
    void clearPresentation(const SettingsRecord&,
                           const std::function<void()>& waitForUpload) override
    {
        shared_.clear();
        waitForUpload();
        clearsDone++;
    }

    void release()
    {
        std::lock_guard lock(mutex_);
        ++released_;
        changed_.notify_all();
    }
    void waitForCycles(int count)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return cyclesStarted >= count; });
    }

    bool screenUnread = false;
    // The screen's own change reports, where it gives them.
    bool reports = false;
    bool screenChanged = false;
    CycleOutcome outcome = CycleOutcome::Sent;
    int captures = 0;
    int cyclesStarted = 0;
    int clearsDone = 0;
    std::vector<std::string> seenServerNames;
    std::vector<CaptureResult> seenPictures;

private:
    SharedPresentation& shared_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int released_ = 0;
};

class PresentationControlTest : public ::testing::Test {
protected:
    PresentationControlTest() : steps(shared)
    {
        settings.PresentationAddress = "http://www.example.com/mydirectory/";
        settings.FTPServerName = "first.example";
    }
    ~PresentationControlTest() override
    {
        // Let any held cycle end so the thread finishes before the fixture goes away.
        for (int i = 0; i < 4; ++i)
            steps.release();
        upload.waitUntilFinished({});
    }
    void finishCycle()
    {
        steps.release();
        upload.waitUntilFinished({});
    }

    SharedPresentation shared;
    SettingsRecord settings;
    HeldSteps steps;
    UploadThread upload;
    test::FakeMessageBoxes boxes;
    test::FakeClock clock{1'000'000};
    RecordingDisplay display;
    PresentationControl control{shared, settings, steps, upload, boxes, clock, display};
};

TEST_F(PresentationControlTest, StatusLineBeforeAnyUploadHasTwoBlanks)
{
    control.pace();
    EXPECT_EQ(display.last(), "Angehalten  (0)");
    EXPECT_EQ(steps.captures, 0);
}

TEST_F(PresentationControlTest, StartShowsAddressThenTheSamePassStartsTheFirstCycle)
{
    shared.failureNoted(clock, boxes, 30, "a failure not yet reported");
    ASSERT_NE(shared.firstFailureTime(), 0);
    control.start();
    EXPECT_EQ(shared.state(), PresentationState::Running);
    EXPECT_EQ(shared.firstFailureTime(), 0);
    ASSERT_EQ(display.last(), "Starten ...");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Velmora");
    EXPECT_EQ(boxes.shown()[0].text, text::startMessage("http://www.example.com/mydirectory/"));
    EXPECT_NE(boxes.shown()[0].text.find("\r\nhttp://www.example.com/mydirectory/\r\n\r\n"),
              std::string::npos);

    control.pace();
    EXPECT_EQ(steps.captures, 1);
    EXPECT_EQ(display.last(), "L\xE4uft  (0)");
    finishCycle();
    control.pace(); // the next cycle starts right away with PauseSeconds 0
    EXPECT_EQ(steps.captures, 2);
    EXPECT_EQ(display.last(), "L\xE4uft 14:05:09 (1)");
}

TEST_F(PresentationControlTest, NoSecondUploadThreadWhileOneIsAlive)
{
    control.start();
    control.pace();
    steps.waitForCycles(1);
    for (int pass = 0; pass < 5; ++pass) {
        clock.advance(10);
        control.pace();
    }
    control.start(); // Start again while running: the message again, still one thread
    control.pace();
    EXPECT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(steps.captures, 1);
    EXPECT_EQ(steps.cyclesStarted, 1);
    EXPECT_TRUE(upload.alive());
}

TEST_F(PresentationControlTest, PauseCountsFromTheLastCycleStartAndSurvivesRestart)
{
    settings.PauseSeconds = 5;
    control.start();
    control.pace(); // cycle 1 at t0
    finishCycle();
    clock.advance(4);
    control.pace();
    EXPECT_EQ(steps.captures, 1) << "4 s after the start of the last cycle is too early";

    control.stop();
    control.start(); // Start does not reset the last cycle start
    control.pace();
    EXPECT_EQ(steps.captures, 1);
    clock.advance(1);
    control.pace();
    EXPECT_EQ(steps.captures, 2);
    EXPECT_EQ(control.lastCycleStart(), 1'000'005);
}

TEST_F(PresentationControlTest, WallClockStepsNeitherHoldNorHurryTheCycles)
{
    settings.PauseSeconds = 5;
    control.start();
    control.pace();
    finishCycle();
    clock.stepWallClock(-3600); // summer time ends
    clock.advance(5);
    control.pace();
    EXPECT_EQ(steps.captures, 2) << "the hour back must not hold the presentation";
    finishCycle();

    clock.stepWallClock(+7200); // an NTP correction forward
    clock.advance(1);
    control.pace();
    EXPECT_EQ(steps.captures, 2) << "a step forward must not skip the pause";
    clock.advance(4);
    control.pace();
    EXPECT_EQ(steps.captures, 3);
}

TEST_F(PresentationControlTest, FirstCycleStartsAtOnceHoweverYoungTheSteadyClock)
{
    test::FakeClock young{1};
    PresentationControl fresh(shared, settings, steps, upload, boxes, young, display);
    settings.PauseSeconds = 600;
    fresh.start();
    fresh.pace();
    EXPECT_EQ(steps.captures, 1);
    finishCycle();
}

TEST_F(PresentationControlTest, PauseIsMeasuredFromTheStartNotTheEndOfTheCycle)
{
    settings.PauseSeconds = 3;
    control.start();
    control.pace();
    clock.advance(10); // the upload takes longer than the pause
    finishCycle();
    control.pace();
    EXPECT_EQ(steps.captures, 2);
}

TEST_F(PresentationControlTest, StopWhileCycleRunsShowsStoppedAtOnceAndCycleStillCounts)
{
    control.start();
    control.pace();
    steps.waitForCycles(1);
    shared.failureNoted(clock, boxes, 30, "a failure not yet reported");
    ASSERT_NE(shared.firstFailureTime(), 0);
    control.stop();
    EXPECT_EQ(shared.firstFailureTime(), 0);
    EXPECT_EQ(boxes.shown().back().text, text::kStopMessage);
    EXPECT_EQ(display.last(), "Stoppen ...");
    control.pace();
    EXPECT_EQ(display.last(), "Angehalten  (0)");
    finishCycle();
    control.pace();
    EXPECT_EQ(display.last(), "Angehalten 14:05:09 (1)");
    EXPECT_EQ(steps.captures, 1);
}

TEST_F(PresentationControlTest, CycleWorksOnTheSettingsItStartedWith)
{
    control.start();
    control.pace();
    settings.FTPServerName = "second.example"; // an apply while the upload runs
    finishCycle();
    control.pace();
    finishCycle();
    EXPECT_EQ(steps.seenServerNames, (std::vector<std::string>{"first.example", "second.example"}));
}

TEST_F(PresentationControlTest, EachCycleUploadsThePictureCapturedForIt)
{
    control.start();
    control.pace();
    finishCycle();
    control.pace();
    finishCycle();
    ASSERT_EQ(steps.seenPictures.size(), 2u);
    // The fake's n-th capture is n x n pixels with the marker at (-n, -n).
    EXPECT_EQ(steps.seenPictures[0].pictureWidth, 1);
    EXPECT_EQ(steps.seenPictures[0].markerY, -1);
    EXPECT_EQ(steps.seenPictures[1].pictureHeight, 2);
    EXPECT_EQ(steps.seenPictures[1].markerX, -2);
}

TEST_F(PresentationControlTest, ClearWaitsForTheRunningUploadTheWayItIsTold)
{
    // As the program's front end does: the wait runs away from the calling thread, which stays
    // free meanwhile (here it lets the upload end).
    int waits = 0;
    control.setWaitForUpload([&] {
        ++waits;
        std::thread waiting([&] { upload.waitUntilFinished({}); });
        steps.release(); // the upload ends while Clear is waiting
        waiting.join();
    });
    control.start();
    control.pace();
    steps.waitForCycles(1);
    control.clear();
    EXPECT_FALSE(upload.alive());
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(steps.clearsDone, 1);
    control.pace();
    EXPECT_EQ(display.last(), "Gel\xF6scht 14:05:09 (1)");
    EXPECT_EQ(steps.captures, 1) << "no cycle starts in the Cleared state";
}

// Where the screen reports its changes, a cycle that found nothing new is followed by the next
// only when a change comes, and then at once; a cycle that sent something is followed at once.
TEST_F(PresentationControlTest, WithChangeReportsOnlyAChangeFollowsAQuietCycle)
{
    steps.reports = true;
    int wakes = 0;
    upload.setOnFinished([&] { ++wakes; });
    control.start();
    control.pace(); // the first cycle captures with no report
    finishCycle();
    control.pace(); // it sent something: the next one captures as well
    EXPECT_EQ(steps.captures, 2);
    steps.outcome = CycleOutcome::NothingNew;
    finishCycle();
    EXPECT_EQ(wakes, 2) << "a quiet cycle still wakes the loop, for a change that came meanwhile";
    for (int pass = 0; pass < 3; ++pass)
        control.pace();
    EXPECT_EQ(steps.captures, 2) << "a still screen is not captured";
    steps.screenChanged = true;
    control.pace();
    EXPECT_EQ(steps.captures, 3);
}

// A screen that could not be read before the first picture leaves the spectators nothing to see:
// no cycle, and the presentation goes on with the next capture.
TEST_F(PresentationControlTest, CaptureNamingNoPictureStartsNoCycle)
{
    steps.screenUnread = true;
    control.start();
    control.pace();
    EXPECT_FALSE(upload.alive());
    EXPECT_EQ(shared.state(), PresentationState::Running);
    steps.screenUnread = false;
    control.pace();
    steps.waitForCycles(1);
    EXPECT_EQ(steps.seenPictures.at(0).picture, 2u);
}

TEST_F(PresentationControlTest, UploadThreadMayStopThePresentation)
{
    control.start();
    control.pace();
    shared.reportFailure(boxes, "x"); // a reported failure on the Upload thread
    finishCycle();
    control.pace();
    EXPECT_EQ(steps.captures, 1);
    EXPECT_EQ(display.last(), "Angehalten 14:05:09 (1)");
}

TEST_F(PresentationControlTest, AutostartRunsWithoutAMessage)
{
    control.autostart();
    EXPECT_EQ(display.last(), "Starten ...");
    EXPECT_TRUE(boxes.shown().empty());
    control.pace();
    EXPECT_EQ(steps.captures, 1);
}

TEST_F(PresentationControlTest, StartAndAutostartPutTheScreenUpAfresh)
{
    // The server had the newest picture; whatever happened to it while the presentation was
    // stopped, the first cycle after Start sends picture and data page again.
    shared.spectators().published(shared.spectators().known(), 5, "page");
    control.start();
    EXPECT_EQ(shared.spectators().picture(), 0u);
    shared.spectators().published(shared.spectators().known(), 6, "page");
    control.autostart();
    EXPECT_EQ(shared.spectators().picture(), 0u);
}

TEST_F(PresentationControlTest, TrayTooltipOnlyInTrayAndAtMost63Characters)
{
    control.pace();
    EXPECT_TRUE(display.tooltips.empty());
    display.tray = true;
    control.pace();
    ASSERT_EQ(display.tooltips.size(), 1u);
    EXPECT_EQ(display.tooltips[0], "Velmora\r\nAngehalten  (0)");

    const std::string longStatus(100, 'x');
    const std::string tooltip = PresentationControl::trayTooltip(longStatus);
    EXPECT_EQ(tooltip.size(), 63u);
    EXPECT_EQ(tooltip.substr(0, 9), "Velmora\r\n");
}

} // namespace
} // namespace velmora

// The transitions of the shared presentation state where two of them differ only in what they
// leave alone.

#include "publish/presentation_state.h"

#include "support/fake_clock.h"
#include "support/fake_message_boxes.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct PresentationStateTest : ::testing::Test {
    SharedPresentation shared;
    test::FakeClock clock{1'700'000'000};
    test::FakeMessageBoxes boxes;

    void outagePending()
    {
        shared.start();
        ASSERT_FALSE(shared.failureNoted(clock, boxes, 30, "unreported"));
        ASSERT_EQ(shared.firstFailureTime(), 1'700'000'000);
    }
};

TEST_F(PresentationStateTest, StopWithAMessageLeavesAPendingOutagePendingAReportEndsIt)
{
    outagePending();
    // The viewer page cannot be written: told at once, but the cycle still holds the picture
    // name of the outage.
    shared.stopWithMessage(boxes, "Die Index-Datei kann nicht erstellt werden.");
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_EQ(shared.firstFailureTime(), 1'700'000'000);

    outagePending();
    shared.reportFailure(boxes, "Die Verbindung zum Server kann nicht hergestellt werden.");
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_EQ(shared.firstFailureTime(), 0);

    ASSERT_EQ(boxes.shown().size(), 2u);
    for (const auto& box : boxes.shown()) {
        EXPECT_EQ(box.title, "Fehler");
        EXPECT_EQ(box.buttons, BoxButtons::Ok);
        EXPECT_EQ(box.modality, BoxModality::SystemModal);
    }
    EXPECT_EQ(shared.stops(), 0u) << "only the presenter's stops end a kept login";
}

TEST_F(PresentationStateTest, ClearForgetsWhatTheSpectatorsHaveEvenForACycleUnderWay)
{
    outagePending();
    SpectatorsRecord& spectators = shared.spectators();
    spectators.published(spectators.known(), 4, "page of picture 4");
    const SpectatorsRecord::Known cycleBegan = spectators.known(); // a cycle sends picture 5
    shared.clear();
    EXPECT_EQ(shared.state(), PresentationState::Cleared);
    EXPECT_EQ(shared.firstFailureTime(), 0);
    EXPECT_EQ(spectators.picture(), 0u);
    spectators.published(cycleBegan, 5, "page of picture 5"); // that cycle ends well
    EXPECT_EQ(spectators.picture(), 0u) << "the black picture replaces it on the server";
}

} // namespace
} // namespace velmora

// A running presentation sends only what the spectators do not have yet: no picture the server
// already shows, a data page alone when only the pointer moved, nothing at all on a still
// screen, and everything again after Start, Clear or any failure.

#include "publish/presentation_cycle.h"

#include "support/publish_test_setup.h"

namespace velmora {
namespace {

using test::pageValue;

struct PresentationCycleNewsTest : test::PublishTest {
    PresentationCycle cycle{shared, boxes, clock, tempFolder(), test::kTestTimeouts};

    void presentAt(std::int64_t secondsAfterStart, std::uint32_t picture,
                   PointerMarker marker = {312, 140})
    {
        clock.set(test::kStartTime + secondsAfterStart);
        cycle.run(settings, captured(marker, picture));
    }
    // Every command the server got since the last call.
    std::vector<std::string> newCommands()
    {
        auto commands = server.log();
        server.clearLog();
        return commands;
    }
};

TEST_F(PresentationCycleNewsTest, StillScreenSendsNothingAndDoesNotConnect)
{
    presentAt(0, 7);
    EXPECT_EQ(storedNames(),
              (std::vector<std::string>{"index.htm", "Velmora1.png.upload",
                                        "Velmora1.png.upload -> Velmora1.png", "Velmora.htm"}));
    EXPECT_EQ(shared.spectators().picture(), 7u);
    newCommands();
    for (int t = 1; t <= 5; ++t)
        presentAt(t, 7);
    EXPECT_EQ(server.stored().size(), 4u);
    EXPECT_TRUE(newCommands().empty()) << "a cycle with nothing to send talked to the server";
    EXPECT_EQ(shared.uploadCounter(), 1);
    EXPECT_EQ(shared.uploadTimeText(), "14:05:09");
    EXPECT_EQ(shared.pictureNumber(), 1);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PresentationCycleNewsTest, PointerAloneSendsTheDataPageOfTheSamePicture)
{
    presentAt(0, 7);
    const auto before = server.stored().size();
    presentAt(4, 7, {500, 20});
    EXPECT_EQ(storedNames(before), std::vector<std::string>{"Velmora.htm"});
    const std::string page = onServer("Velmora.htm");
    EXPECT_EQ(pageValue(page, "iBild"), "1");
    EXPECT_EQ(pageValue(page, "iNr"), "1");
    EXPECT_EQ(pageValue(page, "iTime"), "14:05:09") << "the time the screen last changed";
    EXPECT_EQ(pageValue(page, "iMouseX"), "500");
    EXPECT_EQ(pageValue(page, "iMouseY"), "20");
    EXPECT_EQ(shared.uploadCounter(), 1) << "the counter counts pictures";

    presentAt(5, 7, {500, 20}); // the pointer rests again
    EXPECT_EQ(server.stored().size(), before + 1);

    // Without the marker the pointer is no news at all.
    settings.RemoteMousePointer = 0;
    presentAt(6, 7, {500, 20}); // the page now says 0, 0: that once goes up
    presentAt(7, 7, {10, 10});
    presentAt(8, 7, {11, 12});
    EXPECT_EQ(storedNames(before), (std::vector<std::string>{"Velmora.htm", "Velmora.htm"}));
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iMouseX"), "0");
}

TEST_F(PresentationCycleNewsTest, NewPictureGoesUpUnderTheNextName)
{
    presentAt(0, 7);
    presentAt(1, 7);
    capture(90);
    presentAt(2, 8);
    EXPECT_EQ(onServer("Velmora2.png"), localPicture());
    const std::string page = onServer("Velmora.htm");
    EXPECT_EQ(pageValue(page, "iBild"), "2");
    EXPECT_EQ(pageValue(page, "iNr"), "2");
    EXPECT_EQ(pageValue(page, "iTime"), "14:05:11");
    EXPECT_EQ(shared.spectators().picture(), 8u);
}

TEST_F(PresentationCycleNewsTest, StartAndClearSendEverythingAgain)
{
    presentAt(0, 7);
    shared.start();
    auto before = server.stored().size();
    presentAt(1, 7);
    EXPECT_EQ(storedNames(before),
              (std::vector<std::string>{"Velmora2.png.upload",
                                        "Velmora2.png.upload -> Velmora2.png", "Velmora.htm"}));
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iNr"), "2");

    // A closing cycle of Clear puts the black picture up: what the capture numbered is gone.
    cycle.run(settings, captured(), PictureAdvance::Always);
    EXPECT_EQ(shared.spectators().picture(), 0u);
    before = server.stored().size();
    presentAt(3, 7);
    EXPECT_EQ(storedNames(before),
              (std::vector<std::string>{"Velmora1.png.upload",
                                        "Velmora1.png.upload -> Velmora1.png", "Velmora.htm"}));
}

TEST_F(PresentationCycleNewsTest, ViewerPageDueOnAStillScreenGoesUpAlone)
{
    presentAt(0, 7);
    shared.spectators().settingsApplied();
    const auto before = server.stored().size();
    presentAt(1, 7);
    EXPECT_EQ(storedNames(before), std::vector<std::string>{"index.htm"});
    EXPECT_TRUE(shared.spectators().viewerPageOnServer());
    EXPECT_EQ(shared.spectators().picture(), 7u);
}

TEST_F(PresentationCycleNewsTest, AfterAFailedDataPageTheSamePictureGoesUpAgain)
{
    presentAt(0, 7);
    capture(90);
    // The picture goes up, its data page does not: a folder of that name is in the way.
    std::filesystem::remove(remoteFolder() + "Velmora.htm");
    std::filesystem::create_directory(remoteFolder() + "Velmora.htm");
    auto before = server.stored().size();
    presentAt(5, 8);
    EXPECT_EQ(
        storedNames(before),
        (std::vector<std::string>{"Velmora2.png.upload", "Velmora2.png.upload -> Velmora2.png"}));
    EXPECT_EQ(shared.spectators().picture(), 0u);
    EXPECT_EQ(shared.firstFailureTime(), test::kStartTime + 5);

    std::filesystem::remove(remoteFolder() + "Velmora.htm");
    before = server.stored().size();
    presentAt(6, 8); // the same screen, but the server's data page still names picture 1
    EXPECT_EQ(storedNames(before),
              (std::vector<std::string>{"Velmora2.png.upload",
                                        "Velmora2.png.upload -> Velmora2.png", "Velmora.htm"}));
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iBild"), "2");
    EXPECT_EQ(shared.firstFailureTime(), 0);
    EXPECT_EQ(shared.spectators().picture(), 8u);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PresentationCycleNewsTest, OutageMetByAPointerCycleIsHealedByTheNextGoodOne)
{
    presentAt(0, 7);
    server.stop();
    presentAt(3, 7, {1, 1}); // only the pointer moved, and the server is away
    EXPECT_EQ(shared.firstFailureTime(), test::kStartTime + 3);
    EXPECT_EQ(shared.spectators().picture(), 0u);
    server.restart();
    server.clearLog();
    presentAt(4, 7, {1, 1});
    // The held picture name, the picture, and a data page naming it.
    EXPECT_EQ(server.log({"STOR", "RNTO"}),
              (std::vector<std::string>{"STOR public_html/show/Velmora1.png.upload",
                                        "RNTO public_html/show/Velmora1.png",
                                        "STOR public_html/show/Velmora.htm"}));
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iMouseX"), "1");
    EXPECT_EQ(shared.firstFailureTime(), 0);
    EXPECT_TRUE(boxes.shown().empty());
}

} // namespace
} // namespace velmora

#include "publish/clear_presentation.h"

#include "support/publish_test_setup.h"

#include <mutex>
#include <thread>

namespace velmora {
namespace {

using test::pageValue;

struct ClearPresentationTest : test::PublishTest {
    PresentationCycle cycle{shared, boxes, clock, tempFolder(), test::kTestTimeouts};
    std::vector<std::string> statusTexts;
    int blanksWritten = 0;
    ClearPresentation clear{shared, boxes, cycle, tempFolder(), [this](int w, int h) {
                                ++blanksWritten;
                                return test::blackPicture(w, h);
                            }};

    ClearOutcome runClear(
        PictureSize size, const std::function<void()>& waitForUpload = [] {})
    {
        return clear.run(settings, size, {312, 140}, waitForUpload,
                         [this](const std::string& text) { statusTexts.push_back(text); });
    }

    void presentTwice()
    {
        for (int i = 0; i < 2; ++i) {
            capture(50 + i);
            cycle.run(settings, captured({312, 140}));
        }
    }

    void expectBlackPicturesOnServer(int width, int height)
    {
        for (const char* name : {"Velmora1.png", "Velmora2.png", "Velmora3.png"}) {
            const auto picture = test::decodePng(remoteFolder() + name).value_or(test::PngPixels{});
            EXPECT_EQ(picture.width, width) << name;
            EXPECT_EQ(picture.height, height) << name;
            EXPECT_TRUE(test::allBlack(picture)) << name;
        }
    }
};

TEST_F(ClearPresentationTest, ThreeBlackPicturesAndTheCounterFallsToZero)
{
    presentTwice();
    const auto before = server.stored().size();
    ASSERT_EQ(runClear({40, 30}), ClearOutcome::Done);

    EXPECT_EQ(statusTexts, std::vector<std::string>{"L\xF6sche. Bitte warten ..."});
    EXPECT_EQ(storedNames(before),
              (std::vector<std::string>{
                  "Velmora3.png.upload", "Velmora3.png.upload -> Velmora3.png", "Velmora.htm",
                  "Velmora1.png.upload", "Velmora1.png.upload -> Velmora1.png", "Velmora.htm",
                  "Velmora2.png.upload", "Velmora2.png.upload -> Velmora2.png", "Velmora.htm"}));
    for (const char* name : {"Velmora1.png", "Velmora2.png", "Velmora3.png"})
        EXPECT_FALSE(server.exists("public_html/show/" + std::string(name) + ".upload")) << name;
    expectBlackPicturesOnServer(40, 30);
    auto pages = dataPages(before);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pageValue(pages[0], "iNr"), "3");
    EXPECT_EQ(pageValue(pages[1], "iNr"), "0");
    EXPECT_EQ(pageValue(pages[2], "iNr"), "0");
    EXPECT_EQ(shared.state(), PresentationState::Cleared);
    EXPECT_EQ(shared.uploadCounter(), 0);
    EXPECT_EQ(shared.pictureNumber(), 2);
    EXPECT_TRUE(
        test::allBlack(test::decodePng(tempFolder() + "Velmora.png").value_or(test::PngPixels{})));
    EXPECT_TRUE(boxes.shown().empty());

    // Cleared a second time: the counter starts from 0 again.
    const auto second = server.stored().size();
    ASSERT_EQ(runClear({40, 30}), ClearOutcome::Done);
    pages = dataPages(second);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pageValue(pages[0], "iNr"), "1");
    EXPECT_EQ(pageValue(pages[1], "iNr"), "0");
    EXPECT_EQ(pageValue(pages[2], "iNr"), "0");
}

TEST_F(ClearPresentationTest, ViewerPageGoesFirstWhenItIsDue)
{
    presentTwice();
    shared.spectators().settingsApplied();
    const auto before = server.stored().size();
    ASSERT_EQ(runClear({8, 8}), ClearOutcome::Done);
    EXPECT_EQ(storedNames(before).front(), "index.htm");
    EXPECT_EQ(storedNames(before).size(), 10u); // three times picture, rename and data page
}

TEST_F(ClearPresentationTest, ServerDownIsSilentWithinTheWindowAndEndsCleared)
{
    presentTwice();
    server.stop();
    ASSERT_EQ(runClear({40, 30}), ClearOutcome::Done);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(shared.state(), PresentationState::Cleared);
    EXPECT_EQ(shared.uploadCounter(), -1);
}

TEST_F(ClearPresentationTest, NothingCapturedYetOrPictureNotSavedEndsTheProgram)
{
    for (const PictureSize size : {PictureSize{0, 0}, PictureSize{40, 0}}) {
        boxes.clear();
        shared.start();
        EXPECT_EQ(runClear(size), ClearOutcome::PictureNotCleared);
        EXPECT_EQ(shared.state(), PresentationState::Stopped);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, "Fehler");
        EXPECT_EQ(boxes.shown()[0].text,
                  "Die Abbildung des Desktops kann nicht gel\xF6scht werden.");
        EXPECT_EQ(boxes.shown()[0].modality, BoxModality::SystemModal);
    }
    EXPECT_EQ(blanksWritten, 0);

    ClearPresentation failingWriter{shared, boxes, cycle, tempFolder(),
                                    [](int, int) { return std::optional<std::string>(); }};
    boxes.clear();
    EXPECT_EQ(failingWriter.run(settings, {40, 30}, {}, [] {}), ClearOutcome::PictureNotCleared);
    EXPECT_EQ(boxes.shown().size(), 1u);

    // The picture file cannot take the black picture: its bytes go nowhere either.
    std::filesystem::remove(tempFolder() + "Velmora.png");
    std::filesystem::create_directory(tempFolder() + "Velmora.png");
    boxes.clear();
    EXPECT_EQ(runClear({40, 30}), ClearOutcome::PictureNotCleared);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Die Abbildung des Desktops kann nicht gel\xF6scht werden.");
    EXPECT_TRUE(server.log({"STOR"}).empty());
}

TEST_F(ClearPresentationTest, BlankPicturesReachEveryNameEvenWhenDataPagesFail)
{
    presentTwice();
    // The data page cannot go up: every clearing cycle records a failure, yet each must still
    // overwrite a different picture file, or the presenter's screen stays on the server.
    std::filesystem::remove(remoteFolder() + "Velmora.htm");
    std::filesystem::create_directory(remoteFolder() + "Velmora.htm");
    ASSERT_EQ(runClear({16, 12}), ClearOutcome::Done);
    expectBlackPicturesOnServer(16, 12);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(shared.state(), PresentationState::Cleared);
}

TEST_F(ClearPresentationTest, WaitsForTheRunningUploadAndStartsWithAFreshWindow)
{
    presentTwice();
    // A cycle that started with old, wrong settings is still running when Clear is pressed. It
    // is held until Clear waits for it; by then an outage long ago is pending, so its failure is
    // reported and stops the presentation.
    SettingsRecord old = settings;
    old.FTPServerName = "127.0.0.1:1";
    std::mutex gate;
    std::unique_lock hold(gate);
    capture(99);
    const CyclePicture held = captured();
    std::thread upload([&] {
        std::lock_guard wait(gate);
        cycle.run(old, held);
    });

    bool waited = false;
    const auto before = server.stored().size();
    ASSERT_EQ(runClear({24, 24},
                       [&] {
                           clock.set(test::kStartTime - 100);
                           shared.failureNoted(clock, boxes, settings.InternetRetryTime, "x");
                           clock.set(test::kStartTime);
                           hold.unlock();
                           upload.join();
                           waited = true;
                           // Nothing of the clearing has happened yet.
                           EXPECT_EQ(blanksWritten, 0);
                           EXPECT_EQ(shared.state(), PresentationState::Stopped);
                       }),
              ClearOutcome::Done);
    EXPECT_TRUE(waited);
    ASSERT_EQ(boxes.shown().size(), 1u); // the old cycle's report, nothing from the clearing
    EXPECT_EQ(boxes.shown()[0].text, "Die Verbindung zum Server kann nicht hergestellt werden.");
    EXPECT_EQ(shared.state(), PresentationState::Cleared);
    EXPECT_EQ(storedNames(before).size(), 9u); // three times picture, rename and data page
    expectBlackPicturesOnServer(24, 24);
}

TEST_F(ClearPresentationTest, CyclesRunThroughTheRunnerAndStopAtTheTimeLimit)
{
    presentTwice();
    int runs = 0;
    ClearPresentation limited{shared,
                              boxes,
                              cycle,
                              tempFolder(),
                              test::blackPicture,
                              [&runs](const std::function<void()>& work) {
                                  ++runs;
                                  work();
                              },
                              std::chrono::milliseconds(0)};
    server.clearLog();
    ASSERT_EQ(limited.run(settings, {8, 8}, {}, [] {}), ClearOutcome::Done);
    EXPECT_EQ(runs, 1) << "all three cycles in one run of the runner";
    // A server that answers every command just inside its time-outs would hold the presenter's
    // window for minutes; past the limit not one command is sent. Only the presentation's kept
    // connection is ended.
    EXPECT_EQ(server.log(), std::vector<std::string>{"QUIT"});
}

} // namespace
} // namespace velmora

#include "publish/presentation_cycle.h"

#include "publish/viewer_page.h"

#include "support/publish_test_setup.h"

#include <algorithm>

namespace velmora {
namespace {

using test::asStored;
using test::pageValue;

struct PresentationCycleTest : test::PublishTest {
    explicit PresentationCycleTest(test::FtpServerOptions options = {})
        : PublishTest(std::move(options))
    {
    }

    PresentationCycle cycle{shared, boxes, clock, tempFolder(), test::kTestTimeouts};

    void runAt(std::int64_t secondsAfterStart, PointerMarker marker = {312, 140})
    {
        clock.set(test::kStartTime + secondsAfterStart);
        cycle.run(settings, captured(marker));
    }
};

TEST_F(PresentationCycleTest, FirstCycleUploadsViewerPagePictureAndDataPageInOrder)
{
    runAt(0);
    EXPECT_EQ(storedNames(),
              (std::vector<std::string>{"index.htm", "Velmora1.png.upload",
                                        "Velmora1.png.upload -> Velmora1.png", "Velmora.htm"}));
    // The picture goes up under its temporary name and is renamed over its own name before the
    // data page names it; the pages are stored directly.
    EXPECT_EQ(server.log({"TYPE", "STOR", "RNFR", "RNTO", "DELE"}),
              (std::vector<std::string>{"TYPE A", "STOR public_html/show/index.htm", "TYPE I",
                                        "STOR public_html/show/Velmora1.png.upload",
                                        "RNFR public_html/show/Velmora1.png.upload",
                                        "RNTO public_html/show/Velmora1.png", "TYPE A",
                                        "STOR public_html/show/Velmora.htm"}));
    EXPECT_EQ(server.log({"USER"}).size(), 1u); // one control connection for the whole cycle

    EXPECT_EQ(onServer("index.htm"), asStored(viewerPageText()));
    EXPECT_EQ(onServer("Velmora1.png"), localPicture());
    EXPECT_FALSE(server.exists("public_html/show/Velmora1.png.upload"));
    DataPageValues expected;
    expected.pictureNumber = 1;
    expected.uploadTime = "14:05:09";
    expected.uploadCounter = 1;
    expected.homepage = "http://www.example.com/";
    expected.markerX = 312;
    expected.markerY = 140;
    expected.refreshMs = 2000;
    EXPECT_EQ(onServer("Velmora.htm"), asStored(composeDataPage(expected)));

    EXPECT_EQ(shared.pictureNumber(), 1);
    EXPECT_EQ(shared.uploadCounter(), 1);
    EXPECT_EQ(shared.uploadTimeText(), "14:05:09");
    EXPECT_TRUE(shared.spectators().viewerPageOnServer());
    EXPECT_EQ(shared.firstFailureTime(), 0);
    EXPECT_EQ(shared.state(), PresentationState::Running);
    EXPECT_TRUE(boxes.shown().empty());
    // The working pages stay in the Temp folder.
    EXPECT_TRUE(std::filesystem::exists(tempFolder() + "Velmora.ind"));
    EXPECT_TRUE(std::filesystem::exists(tempFolder() + "Velmora.cnt"));
}

TEST_F(PresentationCycleTest, PictureGoesUpFromTheBytesHandedOverWithoutAFileOfItsOwn)
{
    // Bytes that are no file anywhere: the picture file is gone, and nothing may take its place.
    const auto png = std::make_shared<const std::string>(std::string("\x89PNG\r\n\0\x1A\n", 9) +
                                                         std::string(70000, '\xAB'));
    std::filesystem::remove(tempFolder() + "Velmora.png");
    cycle.run(settings, {{312, 140}, 0, png});

    EXPECT_TRUE(onServer("Velmora1.png") == *png);
    EXPECT_TRUE(boxes.shown().empty());
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(tempFolder()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Velmora.cnt", "Velmora.ind"}))
        << "only the pages are files of the cycle";
}

TEST_F(PresentationCycleTest, PicturesRotateAndViewerPageGoesAgainOnlyAfterApply)
{
    for (int i = 0; i < 4; ++i) {
        capture(100 + i);
        runAt(i);
        EXPECT_EQ(onServer("Velmora" + std::to_string(i % 3 + 1) + ".png"), localPicture());
        if (i == 1)
            shared.stop(); // Stop and Start again: the numbers go on
    }
    EXPECT_EQ(storedNames(),
              (std::vector<std::string>{
                  "index.htm", "Velmora1.png.upload", "Velmora1.png.upload -> Velmora1.png",
                  "Velmora.htm", "Velmora2.png.upload", "Velmora2.png.upload -> Velmora2.png",
                  "Velmora.htm", "Velmora3.png.upload", "Velmora3.png.upload -> Velmora3.png",
                  "Velmora.htm", "Velmora1.png.upload", "Velmora1.png.upload -> Velmora1.png",
                  "Velmora.htm"}));
    for (const char* name : {"Velmora1.png", "Velmora2.png", "Velmora3.png"})
        EXPECT_FALSE(server.exists("public_html/show/" + std::string(name) + ".upload")) << name;
    const auto pages = dataPages();
    ASSERT_EQ(pages.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pageValue(pages[i], "iBild"), std::to_string(i % 3 + 1));
        EXPECT_EQ(pageValue(pages[i], "iNr"), std::to_string(i + 1));
    }

    shared.spectators().settingsApplied(); // the settings were applied
    const auto before = server.stored().size();
    runAt(10);
    EXPECT_EQ(storedNames(before),
              (std::vector<std::string>{"index.htm", "Velmora2.png.upload",
                                        "Velmora2.png.upload -> Velmora2.png", "Velmora.htm"}));
    EXPECT_EQ(shared.uploadCounter(), 5);
}

TEST_F(PresentationCycleTest, PointerValuesOnlyWhenTheMarkerIsWanted)
{
    runAt(0, {-4, -58});
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iMouseX"), "-4");
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iMouseY"), "-58");
    settings.RemoteMousePointer = 0;
    runAt(1, {50, 60});
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iMouseX"), "0");
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iMouseY"), "0");
}

TEST_F(PresentationCycleTest, FailedPictureUploadLeavesThePreviousDataPage)
{
    runAt(0);
    const std::string page = onServer("Velmora.htm");
    // The server takes the picture's bytes but cannot put them under the next picture name (a
    // folder of that name is in the way, so neither the rename nor deleting the name works).
    std::filesystem::create_directory(remoteFolder() + "Velmora2.png");
    const auto before = server.stored().size();
    server.clearLog();
    capture(200);
    runAt(5);
    EXPECT_EQ(storedNames(before), std::vector<std::string>{"Velmora2.png.upload"});
    EXPECT_EQ(server.log({"STOR", "RNFR", "RNTO", "DELE"}),
              (std::vector<std::string>{"STOR public_html/show/Velmora2.png.upload",
                                        "RNFR public_html/show/Velmora2.png.upload",
                                        "RNTO public_html/show/Velmora2.png",
                                        "DELE public_html/show/Velmora2.png",
                                        "DELE public_html/show/Velmora2.png.upload"}));
    EXPECT_FALSE(server.exists("public_html/show/Velmora2.png.upload")) << "left behind";
    EXPECT_TRUE(std::filesystem::is_directory(remoteFolder() + "Velmora2.png"));
    EXPECT_EQ(onServer("Velmora.htm"), page);
    EXPECT_EQ(shared.uploadCounter(), 1);
    EXPECT_EQ(shared.uploadTimeText(), "14:05:09");
    EXPECT_EQ(shared.firstFailureTime(), test::kStartTime + 5);
    EXPECT_TRUE(boxes.shown().empty()); // within the retry window

    // While the failure is pending the same name is tried again; once it goes through the
    // data page names it and the outage is over.
    std::filesystem::remove(remoteFolder() + "Velmora2.png");
    runAt(8);
    EXPECT_EQ(storedNames(before),
              (std::vector<std::string>{"Velmora2.png.upload", "Velmora2.png.upload",
                                        "Velmora2.png.upload -> Velmora2.png", "Velmora.htm"}));
    EXPECT_EQ(onServer("Velmora2.png"), localPicture());
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iBild"), "2");
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iNr"), "2");
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iTime"), "14:05:17");
    EXPECT_EQ(shared.firstFailureTime(), 0);
}

TEST_F(PresentationCycleTest, ServerOutageIsSilentWithinTheWindowThenStopsThePresentation)
{
    runAt(0);
    server.stop();
    for (const int t : {100, 110, 130}) {
        runAt(t);
        EXPECT_EQ(shared.state(), PresentationState::Running) << t;
        EXPECT_EQ(shared.pictureNumber(), 1) << "held while a failure is pending";
    }
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(shared.firstFailureTime(), test::kStartTime + 100);
    runAt(131);
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_EQ(shared.firstFailureTime(), 0);
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Fehler");
    EXPECT_EQ(shown[0].text, "Die Verbindung zum Server kann nicht hergestellt werden.");
    EXPECT_EQ(shown[0].modality, BoxModality::SystemModal);
}

TEST_F(PresentationCycleTest, RecoveredPresentationGetsAFreshWindowForTheNextOutage)
{
    runAt(0);
    server.stop();
    runAt(10); // a short outage
    server.restart();
    runAt(20); // back: this cycle retries the held name and goes through
    EXPECT_EQ(shared.firstFailureTime(), 0);
    EXPECT_EQ(shared.pictureNumber(), 1);
    runAt(21);
    EXPECT_EQ(shared.pictureNumber(), 2); // rotating again
    server.stop();
    runAt(500); // long after the first outage: only the start of a new one
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(shared.state(), PresentationState::Running);
    EXPECT_EQ(shared.firstFailureTime(), test::kStartTime + 500);
}

TEST_F(PresentationCycleTest, WrongPasswordIsReportedWithTheConnectionText)
{
    settings.FTPPassword = "wrong";
    settings.FTPUserName = "nobody";
    settings.InternetRetryTime = 0;
    runAt(0);
    runAt(0);
    EXPECT_TRUE(boxes.shown().empty());
    runAt(1);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Die Verbindung zum Server kann nicht hergestellt werden.");
    EXPECT_TRUE(server.log({"STOR"}).empty());
}

TEST_F(PresentationCycleTest, FailingViewerPageUploadIsRetriedWhilePicturesGoOn)
{
    std::filesystem::create_directory(remoteFolder() + "index.htm");
    runAt(0);
    runAt(10);
    EXPECT_EQ(storedNames(),
              (std::vector<std::string>{
                  "Velmora1.png.upload", "Velmora1.png.upload -> Velmora1.png", "Velmora.htm",
                  "Velmora1.png.upload", "Velmora1.png.upload -> Velmora1.png", "Velmora.htm"}));
    EXPECT_EQ(server.log({"STOR"}).size(), 6u); // index.htm tried in both cycles
    EXPECT_FALSE(shared.spectators().viewerPageOnServer());
    EXPECT_EQ(shared.uploadCounter(), 2);
    EXPECT_TRUE(boxes.shown().empty());
    // It keeps failing: after the window the presenter hears of it.
    runAt(31);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Die Index-Datei kann nicht auf den Server geladen werden.");
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    // The reporting cycle still finished its picture and data page.
    EXPECT_EQ(shared.uploadCounter(), 3);
}

TEST_F(PresentationCycleTest, ViewerPageThatCannotBeWrittenStopsAtOnceButPictureStillGoes)
{
    std::filesystem::create_directory(tempFolder() + "Velmora.ind");
    runAt(0);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Fehler");
    EXPECT_EQ(boxes.shown()[0].text, "Die Index-Datei kann nicht erstellt werden.");
    EXPECT_EQ(boxes.shown()[0].modality, BoxModality::SystemModal);
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_EQ(storedNames(),
              (std::vector<std::string>{"Velmora1.png.upload",
                                        "Velmora1.png.upload -> Velmora1.png", "Velmora.htm"}));
    EXPECT_FALSE(shared.spectators().viewerPageOnServer());
}

TEST_F(PresentationCycleTest, DataPageThatCannotBeWrittenGoesThroughTheWindow)
{
    std::filesystem::create_directory(tempFolder() + "Velmora.cnt");
    runAt(0);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(storedNames(), (std::vector<std::string>{"index.htm", "Velmora1.png.upload",
                                                       "Velmora1.png.upload -> Velmora1.png"}));
    EXPECT_EQ(shared.uploadCounter(), 1); // the picture did go up
    runAt(31);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Die Kontroll-Datei kann nicht erstellt werden.");
}

TEST_F(PresentationCycleTest, FirstCycleFailingNeverPublishesAPictureNumberZero)
{
    server.stop();
    runAt(0);
    EXPECT_EQ(shared.firstFailureTime(), test::kStartTime);
    server.restart();
    runAt(5);
    EXPECT_EQ(storedNames(),
              (std::vector<std::string>{"index.htm", "Velmora1.png.upload",
                                        "Velmora1.png.upload -> Velmora1.png", "Velmora.htm"}));
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iBild"), "1");
    EXPECT_FALSE(server.exists("public_html/show/Velmora0.png"));
    EXPECT_FALSE(server.exists("public_html/show/Velmora0.png.upload"));
}

} // namespace
} // namespace velmora

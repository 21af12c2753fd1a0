// How a cycle replaces a picture file that spectators may still be fetching: never in place,
// with a fallback for servers that will not rename onto an existing name, and through the retry
// window when the server cannot rename at all.

#include "publish/presentation_cycle.h"

#include "support/publish_test_setup.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace velmora {
namespace {

using test::pageValue;

struct PictureReplacementTest : test::PublishTest {
    explicit PictureReplacementTest(test::FtpServerOptions options = {})
        : PublishTest(std::move(options))
    {
    }

    PresentationCycle cycle{shared, boxes, clock, tempFolder(), test::kTestTimeouts};

    void runAt(std::int64_t secondsAfterStart)
    {
        clock.set(test::kStartTime + secondsAfterStart);
        cycle.run(settings, captured({10, 10}));
    }
    // The uploads, renames and deletions the server got, in order.
    std::vector<std::string> fileCommands() const
    {
        return server.log({"STOR", "RNFR", "RNTO", "DELE"});
    }
};

struct RenameOverRefusedTest : PictureReplacementTest {
    RenameOverRefusedTest() : PictureReplacementTest({"", "", false, -1, true, false}) {}
};

struct RenameRefusedTest : PictureReplacementTest {
    RenameRefusedTest() : PictureReplacementTest({"", "", false, -1, false, true}) {}
};

ino_t inodeOf(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// A spectator's download of Velmora1.png is still under way when the fourth cycle replaces that
// file: the web server reads on through the handle it opened and must send the old picture whole.
TEST_F(PictureReplacementTest, SpectatorStillFetchingAPictureGetsTheWholeOldOne)
{
    for (int i = 0; i < 3; ++i) {
        capture(10 + i);
        runAt(i);
    }
    const std::string path = remoteFolder() + "Velmora1.png";
    const std::string old = onServer("Velmora1.png");
    ASSERT_GT(old.size(), 10u);
    const ino_t oldInode = inodeOf(path);
    std::ifstream download(path, std::ios::binary);
    ASSERT_TRUE(download);
    std::string seen(old.size() / 2, '\0');
    ASSERT_TRUE(download.read(seen.data(), static_cast<std::streamsize>(seen.size())));

    capture(200);
    runAt(3);
    ASSERT_EQ(pageValue(onServer("Velmora.htm"), "iBild"), "1");
    seen.append(std::istreambuf_iterator<char>(download), std::istreambuf_iterator<char>());
    EXPECT_TRUE(seen == old) << "the spectator got " << seen.size() << " bytes of a mixed picture";
    EXPECT_EQ(onServer("Velmora1.png"), localPicture());
    EXPECT_NE(onServer("Velmora1.png"), old);
    EXPECT_NE(inodeOf(path), oldInode) << "the picture was rewritten in place";
}

// Whoever asks for the picture the data page names, at any moment, gets a complete picture:
// the name only ever holds a file whose upload had finished.
TEST_F(PictureReplacementTest, PictureNamesOnlyEverHoldCompleteUploads)
{
    for (int i = 0; i < 5; ++i) {
        capture(30 + i);
        runAt(i);
    }
    std::vector<std::string> uploads;
    for (const auto& file : server.stored()) {
        if (file.name.size() > 4 && file.name.compare(file.name.size() - 4, 4, ".png") == 0) {
            // Arrived by renaming a complete upload of the temporary name, bytes unchanged.
            EXPECT_EQ(file.renamedFrom, file.name + ".upload");
            ASSERT_FALSE(uploads.empty());
            EXPECT_TRUE(file.bytes == uploads.back()) << file.name;
        } else if (file.name != "Velmora.htm" && file.name != "index.htm") {
            uploads.push_back(file.bytes);
        }
    }
    EXPECT_EQ(uploads.size(), 5u);
    for (const auto& line : server.log({"STOR"}))
        EXPECT_EQ(line.find(".png", line.size() - 4), std::string::npos) << line;
}

TEST_F(RenameOverRefusedTest, ExistingPictureIsDeletedAndTheRenameTriedAgain)
{
    for (int i = 0; i < 3; ++i) {
        capture(20 + i);
        runAt(i);
    }
    server.clearLog();
    capture(99);
    runAt(3);

    EXPECT_EQ(fileCommands(), (std::vector<std::string>{
                                  "STOR public_html/show/Velmora1.png.upload",
                                  "RNFR public_html/show/Velmora1.png.upload",
                                  "RNTO public_html/show/Velmora1.png",
                                  "DELE public_html/show/Velmora1.png",
                                  "RNFR public_html/show/Velmora1.png.upload",
                                  "RNTO public_html/show/Velmora1.png",
                                  "STOR public_html/show/Velmora.htm",
                              }));
    EXPECT_EQ(onServer("Velmora1.png"), localPicture());
    EXPECT_FALSE(server.exists("public_html/show/Velmora1.png.upload"));
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iBild"), "1");
    EXPECT_EQ(pageValue(onServer("Velmora.htm"), "iNr"), "4");
    EXPECT_EQ(shared.firstFailureTime(), 0);
    EXPECT_TRUE(boxes.shown().empty());
    // The whole cycle, second rename included, on the connection of the cycles before.
    EXPECT_TRUE(server.log({"USER"}).empty());
}

TEST_F(RenameRefusedTest, PictureStepFailsThroughTheRetryWindow)
{
    runAt(0);
    EXPECT_FALSE(server.exists("public_html/show/Velmora1.png"));
    EXPECT_FALSE(server.exists("public_html/show/Velmora1.png.upload")) << "left behind";
    EXPECT_FALSE(server.exists("public_html/show/Velmora.htm")) << "a data page without picture";
    EXPECT_EQ(fileCommands(), (std::vector<std::string>{
                                  "STOR public_html/show/index.htm",
                                  "STOR public_html/show/Velmora1.png.upload",
                                  "RNFR public_html/show/Velmora1.png.upload",
                                  "RNTO public_html/show/Velmora1.png",
                                  "DELE public_html/show/Velmora1.png.upload",
                              }));
    EXPECT_EQ(shared.uploadCounter(), 0);
    EXPECT_EQ(shared.uploadTimeText(), "");
    EXPECT_EQ(shared.firstFailureTime(), test::kStartTime);
    EXPECT_EQ(shared.state(), PresentationState::Running);
    EXPECT_TRUE(boxes.shown().empty());

    runAt(30);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(shared.pictureNumber(), 1) << "held while the failure is pending";
    runAt(31);
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Fehler");
    EXPECT_EQ(boxes.shown()[0].text,
              "Die Abbildung des Desktops kann nicht auf den Server geladen werden.");
    EXPECT_EQ(boxes.shown()[0].modality, BoxModality::SystemModal);
    EXPECT_TRUE(server.log({"STOR"}).back() != "STOR public_html/show/Velmora.htm");
    EXPECT_FALSE(server.exists("public_html/show/Velmora.htm"));
}

} // namespace
} // namespace velmora

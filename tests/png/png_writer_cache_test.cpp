// The writer that keeps the previous picture gives, for every picture of a series, the very file
// the writer without memory gives.

#include "png/png_writer.h"

#include "support/changing_pictures.h"
#include "support/file_bytes.h"
#include "support/png_file.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace velmora {
namespace {

using test::Random;
using test::TemporaryFolder;

class PngWriterCacheTest : public ::testing::Test {
protected:
    // Writes the picture with the writer under test and with writePng, and compares the files;
    // given the rows changed since the previous picture, also with a writer told them.
    void writeAndCompare(const RgbPicture& picture, const PngWriteOptions& options,
                         const std::string& what, const RowBands* changedRows = nullptr)
    {
        SCOPED_TRACE(what);
        ASSERT_TRUE(writer.write(cached, picture, options));
        ASSERT_TRUE(writePng(plain, picture, options));
        const auto cachedBytes = test::fileBytes(cached);
        ASSERT_FALSE(cachedBytes.empty());
        EXPECT_TRUE(cachedBytes == test::fileBytes(plain)) << "the files differ";
        if (changedRows) {
            ASSERT_TRUE(toldWriter.write(told, picture, options, *changedRows));
            EXPECT_TRUE(test::fileBytes(told) == cachedBytes) << "the told writer's file differs";
        }
    }

    TemporaryFolder folder;
    const std::string cached = folder.file("Velmora.png");
    const std::string plain = folder.file("plain.png");
    const std::string told = folder.file("told.png");
    PngWriter writer;
    PngWriter toldWriter; // told which rows changed
};

TEST_F(PngWriterCacheTest, SeriesOfChangingPicturesGivesTheFilesOfTheWriterWithoutMemory)
{
    Random random(11);
    const PngWriteOptions eight{.pieceCount = 8, .maxIdatBytes = 8192};
    RgbPicture picture = test::changingPicture(1000, 400, random);
    writeAndCompare(picture, eight, "first picture");
    EXPECT_EQ(writer.lastReusedPieces(), 0);
    writeAndCompare(picture, eight, "same picture");
    EXPECT_EQ(writer.lastReusedPieces(), 8);

    test::changePixel(picture, 999, 399);
    writeAndCompare(picture, eight, "last pixel");
    EXPECT_EQ(writer.lastReusedPieces(), 7);
    test::changePixel(picture, 0, 0);
    writeAndCompare(picture, eight, "first pixel");
    EXPECT_EQ(writer.lastReusedPieces(), 7);

    // Piece 3 holds rows 150 to 199; piece 4 is primed with the last 32 KiB before row 200,
    // which begin with byte 242 of row 189 (rows of 3000 bytes and a filter byte).
    test::changePixel(picture, 500, 150);
    writeAndCompare(picture, eight, "first row of a piece");
    EXPECT_EQ(writer.lastReusedPieces(), 7);
    test::changePixel(picture, 500, 199);
    writeAndCompare(picture, eight, "last row of a piece");
    EXPECT_EQ(writer.lastReusedPieces(), 6) << "its piece and the next, primed with it";
    test::changePixel(picture, 81, 189);
    writeAndCompare(picture, eight, "window of the next piece");
    EXPECT_EQ(writer.lastReusedPieces(), 6);
    test::changePixel(picture, 80, 189); // bytes 240 and 242: 242 lies in the window
    writeAndCompare(picture, eight, "first byte of that window");
    EXPECT_EQ(writer.lastReusedPieces(), 6);
    test::changePixel(picture, 10, 189);
    writeAndCompare(picture, eight, "just before that window");
    EXPECT_EQ(writer.lastReusedPieces(), 7) << "only its own piece";

    test::fillRectangle(picture, 0, 210, 1000, 1, 9);
    writeAndCompare(picture, eight, "one whole row");
    test::fillRectangle(picture, 700, 20, 120, 30, 200);
    writeAndCompare(picture, eight, "a small region");

    writeAndCompare(picture, {.pieceCount = 5}, "other piece count");
    EXPECT_EQ(writer.lastReusedPieces(), 0);
    writeAndCompare(picture, {.pieceCount = 5, .maxIdatBytes = 100}, "other chunk size");
    EXPECT_EQ(writer.lastReusedPieces(), 5) << "chunks cut the stream, they do not change it";
    writeAndCompare(picture, {}, "pieces by the cores");
    writeAndCompare(picture, {}, "pieces by the cores again");

    const RgbPicture wider = test::changingPicture(1001, 400, random);
    writeAndCompare(wider, eight, "one column more");
    EXPECT_EQ(writer.lastReusedPieces(), 0);
    const RgbPicture lower = test::changingPicture(1001, 399, random);
    writeAndCompare(lower, eight, "one row less");
    EXPECT_EQ(writer.lastReusedPieces(), 0);
    writeAndCompare(RgbPicture(1, 1), eight, "one pixel");
    writeAndCompare(picture, eight, "back to the big picture");
    EXPECT_EQ(writer.lastReusedPieces(), 0);
}

TEST_F(PngWriterCacheTest, AlternatingPicturesAreNeverMixedUp)
{
    Random random(12);
    const RgbPicture a = test::changingPicture(800, 300, random);
    RgbPicture b = a;
    test::fillRectangle(b, 100, 120, 50, 20, 77); // rows 120 to 139 only
    const RgbPicture c = test::changingPicture(800, 300, random);
    for (int round = 0; round < 3; ++round) {
        writeAndCompare(a, {.pieceCount = 6}, "a");
        writeAndCompare(b, {.pieceCount = 6}, "b");
        EXPECT_EQ(writer.lastReusedPieces(), 4) << "rows 120 to 139 reach two pieces";
        writeAndCompare(a, {.pieceCount = 6}, "a again");
        writeAndCompare(c, {.pieceCount = 6}, "c");
    }
}

// Random series: mostly small changes, now and then a new size, piece count or picture. The told
// writer learns the changed rows, now and then with rows that did not change; about a picture of
// another size it is told that nothing changed, which it must not believe.
TEST_F(PngWriterCacheTest, RandomSeriesNeverDivergesFromTheWriterWithoutMemory)
{
    Random random(13);
    int width = 420, height = 260;
    RgbPicture picture = test::changingPicture(width, height, random);
    PngWriteOptions options{.pieceCount = 7, .maxIdatBytes = 1u << 20};
    int reused = 0;
    for (int step = 0; step < 120; ++step) {
        RowBands changed;
        switch (test::randomBelow(random, 10)) {
        case 0: // now and then only the height
            width = step % 4 == 0 ? width : 1 + test::randomBelow(random, 600);
            height = 1 + test::randomBelow(random, 300);
            picture = test::changingPicture(width, height, random);
            if (step % 2 != 0)
                changed = RowBands::all();
            break;
        case 1:
            options.pieceCount = test::randomBelow(random, 12); // 0: chosen by the cores
            break;
        case 2:
            break; // the same picture again
        case 3: {
            const int y = test::randomBelow(random, height);
            const int rows = test::randomBelow(random, 40);
            test::fillRectangle(picture, test::randomBelow(random, width), y,
                                test::randomBelow(random, 80), rows,
                                static_cast<std::uint8_t>(random()));
            changed.add(y, y + rows);
            break;
        }
        default:
            const int y = test::randomBelow(random, height);
            test::changeByte(picture, y,
                             static_cast<std::size_t>(test::randomBelow(random, 3 * width)));
            changed.add(y, y + 1);
        }
        if (step % 3 == 0) { // rows told changed that did not
            const int y = test::randomBelow(random, height);
            changed.add(y, y + test::randomBelow(random, 30));
        }
        writeAndCompare(picture, options, "step " + std::to_string(step), &changed);
        reused += writer.lastReusedPieces();
        if (HasFailure())
            return;
    }
    EXPECT_GT(reused, 120) << "most steps change little";
}

TEST_F(PngWriterCacheTest, FailedWritesLeaveTheNextFileRight)
{
    Random random(14);
    RgbPicture picture = test::changingPicture(600, 200, random);
    const RowBands all = RowBands::all();
    writeAndCompare(picture, {.pieceCount = 4}, "first", &all);

    test::changePixel(picture, 300, 100);
    std::filesystem::create_directory(folder.file("taken"));
    EXPECT_FALSE(writer.write(folder.file("taken"), picture, {.pieceCount = 4}))
        << "a folder is in the way";
    EXPECT_FALSE(writer.write(folder.file("x.png"), RgbPicture(0, 0), {.pieceCount = 4}));
    // Nothing changed since the picture without pixels: the told writer must not believe it.
    const RowBands none;
    EXPECT_FALSE(toldWriter.write(folder.file("x.png"), RgbPicture(0, 0), {.pieceCount = 4}));
    writeAndCompare(picture, {.pieceCount = 4}, "after the failures", &none);
    EXPECT_EQ(writer.lastReusedPieces(), 4) << "the compressed picture was still good";

    test::changePixel(picture, 10, 10);
    RowBands row10;
    row10.add(10, 11);
    writeAndCompare(picture, {.pieceCount = 4}, "changed after the failures", &row10);
}

TEST_F(PngWriterCacheTest, WritesFromTwoThreadsTakeTurns)
{
    Random random(15);
    const RgbPicture a = test::changingPicture(500, 200, random);
    const RgbPicture b = test::changingPicture(300, 100, random);
    ASSERT_TRUE(writePng(folder.file("a-plain.png"), a, {.pieceCount = 3}));
    ASSERT_TRUE(writePng(folder.file("b-plain.png"), b, {.pieceCount = 3}));

    auto writeSeries = [&](const RgbPicture& picture, const std::string& name, bool& same) {
        same = true;
        for (int i = 0; i < 15; ++i) {
            const std::string path = folder.file(name + std::to_string(i) + ".png");
            same = writer.write(path, picture, {.pieceCount = 3}) &&
                   test::fileBytes(path) == test::fileBytes(folder.file(name + "-plain.png")) &&
                   same;
        }
    };
    bool sameA = false, sameB = false;
    {
        std::jthread other([&] { writeSeries(b, "b", sameB); });
        writeSeries(a, "a", sameA);
    }
    EXPECT_TRUE(sameA);
    EXPECT_TRUE(sameB);
}

} // namespace
} // namespace velmora

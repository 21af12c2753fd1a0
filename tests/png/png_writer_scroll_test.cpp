// After a scroll the writer that keeps the previous picture finds the rows that only moved and
// takes their pieces over; every file is still the one the writer without memory gives, and
// decodes to exactly the screen's pixels.

#include "png/png_writer.h"

#include "support/file_bytes.h"
#include "support/png_file.h"
#include "support/scrolling_pictures.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

using test::Random;

class PngWriterScrollTest : public ::testing::Test {
protected:
    // Writes the screen with both writers (pieces cut by content), compares the files and the
    // decoded pixels; gives the number of pieces the writer with memory took over.
    int writeAndCheck(const RgbPicture& screen, const std::string& what,
                      const PngWriteOptions& options = {})
    {
        SCOPED_TRACE(what);
        EXPECT_TRUE(writer.write(cached, screen, options));
        EXPECT_TRUE(writePng(plain, screen, options));
        const std::string bytes = test::fileBytes(cached);
        EXPECT_FALSE(bytes.empty());
        EXPECT_TRUE(bytes == test::fileBytes(plain)) << "the files differ";
        const auto decoded = test::decodePng(cached);
        EXPECT_TRUE(decoded.has_value());
        const std::vector<std::uint8_t> pixels(
            screen.data(),
            screen.data() + screen.stride() * static_cast<std::size_t>(screen.height()));
        EXPECT_TRUE(decoded && decoded->rgb == pixels) << "pixels differ";
        return writer.lastReusedPieces();
    }

    test::TemporaryFolder folder;
    const std::string cached = folder.file("Velmora.png");
    const std::string plain = folder.file("plain.png");
    PngWriter writer;
};

TEST_F(PngWriterScrollTest, ScrollByOneRowRecompressesOnlyTheEdges)
{
    Random random(1);
    const RgbPicture page = test::textPage(301, 5000, random); // odd width: 903 bytes a row
    writeAndCheck(test::scrolledScreen(page, 2400, 7, 0), "first");
    const int reused = writeAndCheck(test::scrolledScreen(page, 2400, 7, 1), "one row");
    const int pieces = writer.lastPieceCount();
    ASSERT_GE(pieces, 4);
    // The first piece lost a row, the last one gained one; the others only moved.
    EXPECT_GE(reused, pieces - 3);
}

TEST_F(PngWriterScrollTest, ScrollUpAndDownInStepsOfEverySize)
{
    Random random(2);
    const RgbPicture page = test::textPage(256, 7000, random);
    int top = 0, reusedAfterSmallSteps = 0;
    writeAndCheck(test::scrolledScreen(page, 2000, 3, top), "start");
    for (const int step : {1, 2, 11, 50, -1, -30, 333, 7, -200, 1999}) {
        top += step;
        const int reused =
            writeAndCheck(test::scrolledScreen(page, 2000, 3, top), "step " + std::to_string(step));
        if (step > -100 && step < 100)
            reusedAfterSmallSteps += reused;
    }
    EXPECT_GT(reusedAfterSmallSteps, 0);
}

TEST_F(PngWriterScrollTest, ScrollPastTheWholeScreenReusesNothing)
{
    Random random(3);
    const RgbPicture page = test::textPage(200, 9000, random);
    writeAndCheck(test::scrolledScreen(page, 2500, 0, 0), "first");
    EXPECT_EQ(writeAndCheck(test::scrolledScreen(page, 2500, 0, 4000), "past the screen"), 0);
    // Scrolled off the page's end: blank rows, then back to where it was.
    writeAndCheck(test::scrolledScreen(page, 2500, 0, 8000), "into the blank");
    writeAndCheck(test::scrolledScreen(page, 2500, 0, 8001), "blank moved");
    writeAndCheck(test::scrolledScreen(page, 2500, 0, 0), "back to the top");
}

// A byte changed inside a moved stretch, or in the window before it, must not let the moved
// piece be taken over.
TEST_F(PngWriterScrollTest, ChangeInsideMovedRowsIsNeverHidden)
{
    Random random(4);
    const RgbPicture page = test::textPage(250, 6000, random);
    for (int row = 0; row < 2200; row += 211) {
        RgbPicture screen = test::scrolledScreen(page, 2200, 0, 40);
        writeAndCheck(test::scrolledScreen(page, 2200, 0, 0), "before");
        screen.row(row)[static_cast<std::size_t>(row) % screen.stride()] ^= 0x40;
        writeAndCheck(screen, "changed row " + std::to_string(row));
    }
}

TEST_F(PngWriterScrollTest, TinyPicturesMoving)
{
    Random random(5);
    const RgbPicture page = test::textPage(1, 40, random);
    for (int top = 0; top < 5; ++top)
        writeAndCheck(test::scrolledScreen(page, 1, 0, top), "1 x 1 at " + std::to_string(top));
    const RgbPicture wide = test::textPage(3, 40, random);
    for (int top = 0; top < 5; ++top)
        writeAndCheck(test::scrolledScreen(wide, 9, 1, top), "3 x 9 at " + std::to_string(top));
}

// A region that grows or shrinks keeps rows of the same size at other places, or rows of
// another size: whatever is taken over must still give the fresh file.
TEST_F(PngWriterScrollTest, ScreenOfAnotherHeightOrWidth)
{
    Random random(7);
    const RgbPicture page = test::textPage(300, 6000, random);
    const RgbPicture narrow = test::textPage(299, 6000, random);
    writeAndCheck(test::scrolledScreen(page, 2000, 4, 0), "first");
    writeAndCheck(test::scrolledScreen(page, 1900, 4, 0), "shorter");
    writeAndCheck(test::scrolledScreen(page, 2100, 4, 9), "taller and moved");
    writeAndCheck(test::scrolledScreen(narrow, 2100, 4, 9), "narrower");
    writeAndCheck(test::scrolledScreen(page, 2100, 4, 9), "wide again");
    EXPECT_EQ(writeAndCheck(test::scrolledScreen(page, 2100, 4, 9), "the same"),
              writer.lastPieceCount());
}

// The program's shorter match search: the same scroll, the same identity of both writers, a zlib
// stream still marked as level 9, and hardly bigger than zlib's own level 9 on the same rows.
TEST_F(PngWriterScrollTest, CaptureOptionsScrollAlikeAndStayCloseToLevel9)
{
    Random random(6);
    const RgbPicture page = test::textPage(640, 4000, random);
    writeAndCheck(test::scrolledScreen(page, 1500, 20, 0), "first", kCaptureWriteOptions);
    for (const int top : {3, 14, 200, 199, 3500}) {
        const RgbPicture screen = test::scrolledScreen(page, 1500, 20, top);
        writeAndCheck(screen, "at " + std::to_string(top), kCaptureWriteOptions);

        const auto chunks = test::readPngChunks(cached);
        std::vector<std::uint8_t> stream;
        for (const auto& chunk : chunks)
            if (chunk.type == "IDAT")
                stream.insert(stream.end(), chunk.data.begin(), chunk.data.end());
        ASSERT_GE(stream.size(), 2u);
        EXPECT_EQ(stream[1] >> 6, 3) << "the header's level class: maximum compression";

        std::vector<std::uint8_t> raw;
        for (int y = 0; y < screen.height(); ++y) {
            raw.push_back(0);
            raw.insert(raw.end(), screen.row(y), screen.row(y) + screen.stride());
        }
        std::vector<std::uint8_t> level9(compressBound(raw.size()));
        uLongf size = level9.size();
        ASSERT_EQ(compress2(level9.data(), &size, raw.data(), raw.size(), 9), Z_OK);
        EXPECT_LE(static_cast<double>(stream.size()), 1.05 * static_cast<double>(size));
    }
}

} // namespace
} // namespace velmora

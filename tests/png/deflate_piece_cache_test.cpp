#include "png/deflate_piece_cache.h"
#include "png/parallel_deflate.h"

#include "support/changing_pictures.h"
#include "support/picture_scanlines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>
#include <vector>

namespace velmora {
namespace {

using test::Random;
using test::scanlinesOf;

constexpr int kLevel = 9;

std::vector<std::uint8_t> bytesOf(const ZlibStream& stream)
{
    std::vector<std::uint8_t> bytes(stream.header, stream.header + sizeof stream.header);
    for (const auto& piece : stream.pieces)
        bytes.insert(bytes.end(), piece->begin(), piece->end());
    bytes.insert(bytes.end(), stream.trailer, stream.trailer + sizeof stream.trailer);
    return bytes;
}

std::vector<std::uint8_t> deflated(const Scanlines& s, int pieces, DeflatePieceCache* cache,
                                   int level = kLevel)
{
    ZlibStream stream;
    EXPECT_TRUE(deflateScanlines(s, level, pieces, stream, cache));
    return bytesOf(stream);
}

// The stretch of the scanline stream (offsets, filter bytes counted) that piece `piece` depends
// on: the 32 KiB before its first row and its rows. Worked out here on its own, not taken from
// the code under test.
std::pair<std::size_t, std::size_t> inputOf(int rowCount, std::size_t rowBytes, int pieces,
                                            int piece)
{
    const std::size_t line = rowBytes + 1;
    const std::size_t first = line * static_cast<std::size_t>(rowCount * piece / pieces);
    const std::size_t end = line * static_cast<std::size_t>(rowCount * (piece + 1) / pieces);
    return {first > 32768 ? first - 32768 : 0, end};
}

int piecesUntouchedBy(int rowCount, std::size_t rowBytes, int pieces, std::size_t offset)
{
    int untouched = 0;
    for (int piece = 0; piece < pieces; ++piece) {
        const auto [begin, end] = inputOf(rowCount, rowBytes, pieces, piece);
        untouched += offset < begin || offset >= end;
    }
    return untouched;
}

// Pixel bytes (row, byte in row) worth changing: the first and last byte of every piece, the
// first pixel byte inside each priming window and the last one before it, and random ones.
std::vector<std::pair<int, std::size_t>> telltalePositions(int rowCount, std::size_t rowBytes,
                                                           int pieces, Random& random)
{
    const std::size_t line = rowBytes + 1;
    std::set<std::size_t> offsets; // in the stream, filter bytes counted
    for (int piece = 0; piece < pieces; ++piece) {
        const auto [begin, end] = inputOf(rowCount, rowBytes, pieces, piece);
        const std::size_t first = line * static_cast<std::size_t>(rowCount * piece / pieces);
        offsets.insert(first + 1);
        offsets.insert(end - 1);
        if (begin > 0) {
            offsets.insert(begin % line == 0 ? begin + 1 : begin);
            offsets.insert(begin % line == 1 ? begin - 2 : begin - 1);
        }
    }
    for (int i = 0; i < 25; ++i)
        offsets.insert(random() % (line * static_cast<std::size_t>(rowCount)));

    std::vector<std::pair<int, std::size_t>> positions;
    for (const std::size_t offset : offsets)
        if (offset % line != 0) // filter bytes are no pixels
            positions.emplace_back(static_cast<int>(offset / line), offset % line - 1);
    return positions;
}

TEST(DeflatePieceCache, SamePictureAgainTakesEveryPieceAndGivesTheSameStream)
{
    Random random(1);
    const RgbPicture picture = test::changingPicture(640, 200, random);
    const Scanlines s = scanlinesOf(picture);
    const auto plain = deflated(s, 5, nullptr);

    DeflatePieceCache cache;
    EXPECT_EQ(deflated(s, 5, &cache), plain);
    EXPECT_EQ(cache.lastReused(), 0) << "nothing to take the first time";
    EXPECT_EQ(deflated(s, 5, &cache), plain);
    EXPECT_EQ(cache.lastReused(), 5);
    EXPECT_EQ(deflated(s, 5, &cache), plain);
    EXPECT_EQ(cache.lastReused(), 5);
}

// A change of one byte anywhere is seen by every piece whose input holds it, and by no other.
void checkEverySingleByteChange(int width, int height, int pieces, unsigned seed)
{
    Random random(seed);
    const RgbPicture base = test::changingPicture(width, height, random);
    const std::size_t rowBytes = base.stride();
    DeflatePieceCache cache;
    for (const auto& [row, byte] : telltalePositions(height, rowBytes, pieces, random)) {
        SCOPED_TRACE("row " + std::to_string(row) + ", byte " + std::to_string(byte));
        deflated(scanlinesOf(base), pieces, &cache); // the cache holds the base picture

        RgbPicture changed = base;
        test::changeByte(changed, row, byte);
        const Scanlines s = scanlinesOf(changed);
        const auto fromCache = deflated(s, pieces, &cache);
        EXPECT_EQ(fromCache, deflated(s, pieces, nullptr));
        EXPECT_EQ(cache.lastReused(),
                  piecesUntouchedBy(height, rowBytes, pieces, (rowBytes + 1) * row + 1 + byte));
    }
}

TEST(DeflatePieceCache, OneByteChangeIsSeenByExactlyThePiecesWhoseInputHoldsIt)
{
    // Pieces of about 63 KiB: each window starts inside a row of the piece before.
    checkEverySingleByteChange(700, 120, 4, 2);
}

TEST(DeflatePieceCache, OneByteChangeReachesEveryLaterPieceItsWindowsCover)
{
    // Pieces of about 4.5 KiB: a window reaches seven pieces back.
    checkEverySingleByteChange(300, 60, 12, 3);
}

TEST(DeflatePieceCache, OneByteChangeWithOnePieceOrOneRowPerPiece)
{
    checkEverySingleByteChange(500, 40, 1, 4);
    checkEverySingleByteChange(3000, 30, 30, 5);
}

TEST(DeflatePieceCache, BytesBetweenRowsAreNoInput)
{
    Random random(6);
    const RgbPicture picture = test::changingPicture(400, 150, random);
    // The same rows, 5 bytes apart in memory.
    const std::size_t stride = picture.stride() + 5;
    std::vector<std::uint8_t> memory(stride * 150, 0xee);
    for (int y = 0; y < 150; ++y)
        std::memcpy(&memory[stride * y], picture.row(y), picture.stride());
    Scanlines s = scanlinesOf(picture);
    s.rows = memory.data();
    s.stride = stride;

    DeflatePieceCache cache;
    const auto first = deflated(s, 6, &cache);
    EXPECT_EQ(first, deflated(scanlinesOf(picture), 6, nullptr));
    for (int y = 0; y < 150; ++y)
        memory[stride * y + picture.stride() + 2] = static_cast<std::uint8_t>(y);
    EXPECT_EQ(deflated(s, 6, &cache), first);
    EXPECT_EQ(cache.lastReused(), 6);

    memory[stride * 75 + 10] ^= 0x40; // a pixel in row 75
    const auto changed = deflated(s, 6, &cache);
    EXPECT_EQ(changed, deflated(s, 6, nullptr));
    EXPECT_NE(changed, first);
    EXPECT_LT(cache.lastReused(), 6);
}

TEST(DeflatePieceCache, AnyOtherLayoutCompressesEverything)
{
    Random random(7);
    const RgbPicture picture = test::changingPicture(600, 180, random);
    const Scanlines s = scanlinesOf(picture);
    DeflatePieceCache cache;
    deflated(s, 6, &cache);

    // Each differs from the picture before in its layout only.
    EXPECT_EQ(deflated(s, 6, &cache, 6), deflated(s, 6, nullptr, 6)) << "level";
    EXPECT_EQ(cache.lastReused(), 0);
    EXPECT_EQ(deflated(s, 6, &cache), deflated(s, 6, nullptr)) << "level back";
    EXPECT_EQ(cache.lastReused(), 0);
    EXPECT_EQ(deflated(s, 5, &cache), deflated(s, 5, nullptr)) << "piece count";
    EXPECT_EQ(cache.lastReused(), 0);

    Scanlines filtered = s;
    filtered.filterByte = 1;
    EXPECT_EQ(deflated(filtered, 5, &cache), deflated(filtered, 5, nullptr)) << "filter byte";
    EXPECT_EQ(cache.lastReused(), 0);

    Scanlines fewerRows = filtered;
    fewerRows.rowCount = 179;
    EXPECT_EQ(deflated(fewerRows, 5, &cache), deflated(fewerRows, 5, nullptr)) << "rows";
    EXPECT_EQ(cache.lastReused(), 0);

    // The same bytes seen as rows of another length.
    Scanlines narrower = fewerRows;
    narrower.rowBytes = s.rowBytes / 2;
    narrower.stride = s.rowBytes / 2;
    narrower.rowCount = 358;
    EXPECT_EQ(deflated(narrower, 5, &cache), deflated(narrower, 5, nullptr)) << "row size";
    EXPECT_EQ(cache.lastReused(), 0);
}

TEST(DeflatePieceCache, FailedCompressionIsForgotten)
{
    Random random(8);
    const RgbPicture picture = test::changingPicture(500, 100, random);
    const Scanlines s = scanlinesOf(picture);
    DeflatePieceCache cache;
    deflated(s, 4, &cache);

    ZlibStream stream;
    EXPECT_FALSE(deflateScanlines(s, 42, 4, stream, &cache)) << "zlib knows no level 42";
    EXPECT_EQ(deflated(s, 4, &cache), deflated(s, 4, nullptr));
    EXPECT_EQ(cache.lastReused(), 0);
    EXPECT_EQ(deflated(s, 4, &cache), deflated(s, 4, nullptr));
    EXPECT_EQ(cache.lastReused(), 4);
}

TEST(DeflatePieceCache, ClearForgetsThePicture)
{
    Random random(9);
    const RgbPicture picture = test::changingPicture(500, 100, random);
    const Scanlines s = scanlinesOf(picture);
    DeflatePieceCache cache;
    deflated(s, 4, &cache);
    cache.clear();
    EXPECT_EQ(deflated(s, 4, &cache), deflated(s, 4, nullptr));
    EXPECT_EQ(cache.lastReused(), 0);
}

} // namespace
} // namespace velmora

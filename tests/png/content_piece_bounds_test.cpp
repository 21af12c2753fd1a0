#include "png/content_piece_bounds.h"

#include "png/row_hashes.h"

#include "support/picture_scanlines.h"
#include "support/scrolling_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace velmora {
namespace {

using test::scanlinesOf;

std::vector<int> boundsOf(const RgbPicture& picture)
{
    return contentPieceBounds(hashRows(scanlinesOf(picture)), picture.stride());
}

TEST(RowHashes, EqualRowsAnywhereHashAlikeAndOneByteTellsRowsApart)
{
    for (const int width : {1, 3, 10, 11, 333, 1920}) {
        SCOPED_TRACE(width);
        test::Random random(static_cast<unsigned>(width));
        const RgbPicture page = test::textPage(width, 60, random);
        const RgbPicture screen = test::scrolledScreen(page, 40, 0, 17);
        const auto pageHashes = hashRows(scanlinesOf(page));
        const auto screenHashes = hashRows(scanlinesOf(screen));
        for (int y = 0; y < 40; ++y)
            EXPECT_EQ(screenHashes[static_cast<std::size_t>(y)],
                      pageHashes[static_cast<std::size_t>(y + 17)]);

        // Every single byte of a row counts, the last ones past the whole words included.
        std::vector<std::uint8_t> row(page.row(3), page.row(3) + page.stride());
        const std::uint64_t original = hashRow(row.data(), row.size());
        for (std::size_t at = 0; at < row.size(); ++at) {
            row[at] ^= 1;
            EXPECT_NE(hashRow(row.data(), row.size()), original) << "byte " << at;
            row[at] ^= 1;
        }
    }
}

TEST(ContentPieceBounds, CoverEveryRowInOrder)
{
    test::Random random(3);
    const RgbPicture page = test::textPage(300, 4000, random);
    const std::vector<int> bounds = boundsOf(page);
    ASSERT_GE(bounds.size(), 3u) << "a page this tall makes several pieces";
    EXPECT_EQ(bounds.front(), 0);
    EXPECT_EQ(bounds.back(), 4000);
    EXPECT_TRUE(std::is_sorted(bounds.begin(), bounds.end()));
    EXPECT_EQ(std::set<int>(bounds.begin(), bounds.end()).size(), bounds.size()) << "empty piece";
}

TEST(ContentPieceBounds, TinyAndEmptyPicturesMakeOnePiece)
{
    EXPECT_EQ(contentPieceBounds({}, 3), (std::vector<int>{0, 0}));
    EXPECT_EQ(contentPieceBounds({42}, 3), (std::vector<int>{0, 1}));
    test::Random random(5);
    EXPECT_EQ(boundsOf(test::textPage(1, 1, random)), (std::vector<int>{0, 1}));
    EXPECT_EQ(boundsOf(test::textPage(7, 30, random)), (std::vector<int>{0, 30}));
}

TEST(ContentPieceBounds, IdenticalRowsStillSplitForTheCores)
{
    RgbPicture blank(400, 3000);
    std::fill(blank.data(), blank.data() + blank.stride() * 3000, std::uint8_t{255});
    const std::vector<int> bounds = boundsOf(blank);
    EXPECT_GE(bounds.size(), 4u);
    for (std::size_t i = 2; i < bounds.size() - 1; ++i)
        EXPECT_EQ(bounds[i] - bounds[i - 1], bounds[1] - bounds[0]) << "a run of blank rows";
}

// After a scroll the page's rows start the same pieces: once the cuts below the screen's new top
// edge have found their way back (a few pieces), every cut lies on the same page row as before.
TEST(ContentPieceBounds, ScrolledRowsKeepTheirCuts)
{
    test::Random random(11);
    const RgbPicture page = test::textPage(320, 9000, random);
    const int height = 5000, bar = 5;
    const auto pageRowsOfCuts = [&](int top) {
        std::set<int> rows;
        for (const int bound : boundsOf(test::scrolledScreen(page, height, bar, top)))
            if (bound >= bar)
                rows.insert(bound - bar + top);
        return rows;
    };
    const std::set<int> before = pageRowsOfCuts(100);
    for (const int scroll : {1, 11, 37, 400}) {
        SCOPED_TRACE(scroll);
        const std::set<int> after = pageRowsOfCuts(100 + scroll);
        int kept = 0, lost = 0;
        for (const int row : before)
            if (row > 100 + scroll + 1500 && row < 100 + height - bar)
                (after.count(row) ? kept : lost) += 1;
        EXPECT_GT(kept, 0);
        EXPECT_EQ(lost, 0);
    }
}

} // namespace
} // namespace velmora

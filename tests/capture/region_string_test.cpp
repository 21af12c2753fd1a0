#include "capture/region_string.h"

#include <gtest/gtest.h>

#include <limits>

namespace velmora {
namespace {

void expectRect(const CaptureRectangle& r, int x, int y, int w, int h)
{
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.width, w);
    EXPECT_EQ(r.height, h);
}

TEST(RegionString, FieldsReadLikeEveryNumberOfTheProgramButDecimalOnly)
{
    using Fields = std::array<std::int32_t, 4>;
    EXPECT_EQ(regionFields("300, \t 42abc,-7,+7"), (Fields{300, 42, -7, 7}));
    EXPECT_EQ(regionFields(",x12,- 5"), (Fields{0, 0, 0, 0}));
    EXPECT_EQ(regionFields("4294967297,2147483648"),
              (Fields{1, std::numeric_limits<std::int32_t>::min(), 0, 0}))
        << "low 32 bits";
    EXPECT_EQ(regionFields("$10,%11,1,2,3"), (Fields{0, 0, 1, 2})) << "no other bases";
    EXPECT_EQ(regionFields(""), (Fields{0, 0, 0, 0}));
}

TEST(RegionString, RectanglesOfTheRegionCountedFromOne)
{
    expectRect(captureRectangle("", 1024, 768), 0, 0, 1024, 768);
    expectRect(captureRectangle("100,100,300,300", 1024, 768), 99, 99, 201, 201);
    expectRect(captureRectangle("1,1,1,1", 1024, 768), 0, 0, 1, 1);
    expectRect(captureRectangle("1024,768,1024,768", 1024, 768), 1023, 767, 1, 1);
}

TEST(RegionString, ClampsToTheScreen)
{
    expectRect(captureRectangle("0,0,800,600", 1024, 768), 0, 0, 800, 600);
    expectRect(captureRectangle("-50,-9,800,600", 1024, 768), 0, 0, 800, 600);
    expectRect(captureRectangle("1,1,1280,1024", 1024, 768), 0, 0, 1024, 768);
    expectRect(captureRectangle("1000,700,2000,2000", 1024, 768), 999, 699, 25, 69);
}

TEST(RegionString, MissingAndBrokenFieldsReadAsZero)
{
    expectRect(captureRectangle("100,100", 1024, 768), 99, 99, -99, -99);
    expectRect(captureRectangle("a,b,c,d", 1024, 768), 0, 0, 0, 0);
    expectRect(captureRectangle("5,5,50,50,99", 1024, 768), 4, 4, 46, 46);
}

TEST(RegionString, RegionsThatNameNoPixels)
{
    EXPECT_FALSE(captureRectangle("300,300,100,100", 1024, 768).namesPixels());
    EXPECT_FALSE(captureRectangle("0,0,0,0", 1024, 768).namesPixels());
    EXPECT_FALSE(captureRectangle("2000,1,2100,100", 1024, 768).namesPixels());
    EXPECT_TRUE(captureRectangle("1,1,1,1", 1024, 768).namesPixels());
}

TEST(RegionString, ExtremeNumbersDoNotOverflow)
{
    const auto r = captureRectangle("-2147483648,-2147483648,2147483647,2147483647", 1024, 768);
    expectRect(r, 0, 0, 1024, 768);
    const auto far = captureRectangle("2147483647,2147483647,-2147483648,-2147483648", 1024, 768);
    EXPECT_EQ(far.x, 2147483646);
    EXPECT_FALSE(far.namesPixels());
}

} // namespace
} // namespace velmora

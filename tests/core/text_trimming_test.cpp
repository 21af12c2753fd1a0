#include "core/text_trimming.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Trimming, SpacesGoAtBothEndsButTabsStay)
{
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(TrimSpaces(""), "");
    EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
}

TEST(Trimming, BlanksAreSpacesAndTabs)
{
    EXPECT_EQ(TrimBlanks(" \ta b\t "), "a b");
    EXPECT_EQ(TrimBlanks("\t \t"), "");
    EXPECT_EQ(TrimBlanks("\r\na\r\n"), "\r\na\r\n");
}

} // namespace
} // namespace velmora

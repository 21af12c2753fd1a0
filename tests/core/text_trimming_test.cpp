#include "core/text_trimming.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Trimming, SpacesGoAtBothEndsButTabsStay)
{
    EXPECT_EQ(trimSpaces("  a b  "), "a b");
    EXPECT_EQ(trimSpaces("    "), "");
    EXPECT_EQ(trimSpaces(""), "");
    EXPECT_EQ(trimSpaces("\ta\t"), "\ta\t");
}

TEST(Trimming, BlanksAreSpacesAndTabs)
{
    EXPECT_EQ(trimBlanks(" \ta b\t "), "a b");
    EXPECT_EQ(trimBlanks("\t \t"), "");
    EXPECT_EQ(trimBlanks("\r\na\r\n"), "\r\na\r\n");
}

} // namespace
} // namespace velmora

#include "core/number_rule.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(NumberRule, ReadsSignsBasesAndStopsAtTheFirstOtherCharacter)
{
    const struct {
        const char* text;
        std::int32_t number;
    } cases[] = {
        {"2000", 2000},
        {"  \t-30", -30},
        {"+7", 7},
        {"12abc", 12},
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"$ff", 255},
        {"-$1A", -26},
        {"$", 0},
        {"$g1", 0},
        {"%101", 5},
        {"%102", 2},
        {"- 5", 0},
        {"+-5", 0},
        {"007", 7},
        {" 1 2", 1},
        {"\n5", 0},
        {"1e3", 1},
        {"-2147483648", INT32_MIN},
        {"2147483647", INT32_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(numberFromText(c.text), c.number) << '"' << c.text << '"';
}

TEST(NumberRule, KeepsTheLow32BitsOfLongNumbers)
{
    EXPECT_EQ(numberFromText("2147483648"), INT32_MIN);
    EXPECT_EQ(numberFromText("4294967297"), 1);
    EXPECT_EQ(numberFromText("$123456789"), 0x23456789);
    EXPECT_EQ(numberFromText("-4294967295"), 1);
    EXPECT_EQ(numberFromText("99999999999"), 1215752191);
    EXPECT_EQ(numberFromText(std::string(5000, '0') + "42"), 42);
    EXPECT_EQ(numberFromText("%" + std::string(40, '1')), -1);
}

TEST(NumberRule, WritesDecimalThatReadsBack)
{
    for (const std::int32_t n : {0, 1, -1, 2000, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(numberFromText(numberToText(n)), n);
    }
    EXPECT_EQ(numberToText(-30), "-30");
}

} // namespace
} // namespace velmora

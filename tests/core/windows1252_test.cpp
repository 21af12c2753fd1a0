#include "core/windows1252.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Windows1252, EveryByteComesBackUnchanged)
{
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t u = unicodeFromWindows1252(static_cast<unsigned char>(byte));
        EXPECT_EQ(static_cast<unsigned char>(windows1252FromUnicode(u)), byte) << byte;
    }
}

TEST(Windows1252, UsesTheRealTableFor0x80To0x9F)
{
    EXPECT_EQ(unicodeFromWindows1252(0x80), U'\u20AC');
    EXPECT_EQ(unicodeFromWindows1252(0x93), U'\u201C');
    EXPECT_EQ(unicodeFromWindows1252(0x9F), U'\u0178');
    EXPECT_EQ(unicodeFromWindows1252(0xE4), U'\u00E4');
    EXPECT_EQ(windows1252FromUnicode(U'\u20AC'), '\x80');
    EXPECT_EQ(windows1252FromUnicode(U'\u2122'), '\x99');
}

TEST(Windows1252, UnassignedCodesStayTheirControls)
{
    for (const unsigned char byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(unicodeFromWindows1252(byte), char32_t(byte));
}

TEST(Windows1252, CharactersWithoutAByteBecomeQuestionMarks)
{
    EXPECT_EQ(windows1252FromUnicode(0x80), '?') << "U+0080 is not the euro sign's byte";
    EXPECT_EQ(windows1252FromUnicode(0x9F), '?');
    EXPECT_EQ(windows1252FromUnicode(0x100), '?');
    EXPECT_EQ(windows1252FromUnicode(0xD800), '?');
    EXPECT_EQ(windows1252FromUnicode(0x1F600), '?');
}

} // namespace
} // namespace velmora

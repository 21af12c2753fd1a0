// The fixed buffer the fault handler writes its report into.

#include "crash/text_buffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace velmora {
namespace {

TEST(TextBufferTest, DecimalsAtTheEdgesOfTheirRange)
{
    char storage[64];
    TextBuffer text(storage, sizeof storage);
    text.appendDecimal(INT64_MIN);
    text.append(" ");
    text.appendDecimal(0);
    text.append(" ");
    text.appendDecimal(static_cast<std::int32_t>(0xC0000005u));
    text.append(" ");
    text.appendHexadecimal(0xFFFFFFFFFFFFFFFFull);
    EXPECT_STREQ(text.data(), "-9223372036854775808 0 -1073741819 ffffffffffffffff");
}

TEST(TextBufferTest, WhatDoesNotFitIsCutOffAndTheBufferStaysIntact)
{
    char storage[16];
    std::memset(storage, '#', sizeof storage);
    {
        TextBuffer text(storage, 8);
        text.append("Stack overflow");
        text.appendDecimal(-1073741571);
        EXPECT_TRUE(text.truncated());
        EXPECT_EQ(text.size(), 7u);
        EXPECT_STREQ(text.data(), "Stack o");
    }
    for (std::size_t i = 8; i < sizeof storage; ++i)
        EXPECT_EQ(storage[i], '#') << "written past the end at " << i;
}

} // namespace
} // namespace velmora

#include "core/local_file.h"

#include "support/temporary_folder.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace std::string_literals;

TEST(LocalFile, ReadsBackEveryByteWritten)
{
    const test::TemporaryFolder folder;
    std::string bytes = "line\r\n\0\x80\xFF"s;
    for (int k = 0; k < 200000; ++k)
        bytes += static_cast<char>(k * 7);
    ASSERT_TRUE(writeWholeFile(folder.file("a.bin"), bytes));
    EXPECT_EQ(readWholeFile(folder.file("a.bin")), bytes) << "longer than one read";

    ASSERT_TRUE(writeWholeFile(folder.file("empty"), ""));
    EXPECT_EQ(readWholeFile(folder.file("empty")), ""s) << "empty, not unreadable";
}

TEST(LocalFile, UnreadableFileGivesNothing)
{
    const test::TemporaryFolder folder;
    EXPECT_EQ(readWholeFile(folder.file("missing")), std::nullopt);
    EXPECT_EQ(readWholeFile(folder.path()), std::nullopt) << "a folder";
}

} // namespace
} // namespace velmora

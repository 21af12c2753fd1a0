// Source lines from this test program's own debug information, and damaged files that must give
// "no line" rather than bring the locator down.

#include "crash/fault_location.h"
#include "support/file_bytes.h"

#include <gtest/gtest.h>

#include <link.h>

namespace velmora {
namespace {

std::vector<unsigned char> ownImage()
{
    const std::string bytes = test::fileBytes("/proc/self/exe");
    return {bytes.begin(), bytes.end()};
}

std::uintptr_t loadBias()
{
    std::uintptr_t bias = 0;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            *static_cast<std::uintptr_t*>(data) = info->dlpi_addr;
            return 1;
        },
        &bias);
    return bias;
}

// The address execution returns to: inside the line that made the call.
__attribute__((noinline)) std::uintptr_t returnAddress()
{
    return reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
}

TEST(FaultLocationTest, CallSiteIsFoundAtItsLineInItsFile)
{
    const int expectedLine = __LINE__ + 1;
    const std::uintptr_t address = returnAddress();
    // One byte back: the call instruction itself, as debuggers look it up.
    const auto found = sourceLineIn(ownImage(), address - 1 - loadBias());
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->line, expectedLine);
    EXPECT_EQ(found->file.substr(found->file.rfind('/') + 1), "fault_location_test.cpp");
}

TEST(FaultLocationTest, AddressOutsideEveryLineTableHasNoLine)
{
    EXPECT_FALSE(sourceLineIn(ownImage(), 0x10).has_value());
}

TEST(FaultLocationTest, DamagedFilesGiveNoLine)
{
    const std::vector<unsigned char> image = ownImage();
    const std::uintptr_t address = returnAddress() - 1 - loadBias();
    ASSERT_TRUE(sourceLineIn(image, address).has_value());

    EXPECT_FALSE(sourceLineIn({}, address).has_value());
    EXPECT_FALSE(
        sourceLineIn(std::vector<unsigned char>(image.begin(), image.begin() + 64), address)
            .has_value());
    // Cut off inside the debug sections, which lie at the end of the file.
    const std::vector<unsigned char> cut(image.begin(), image.begin() + image.size() * 9 / 10);
    EXPECT_FALSE(sourceLineIn(cut, address).has_value());
    EXPECT_FALSE(sourceLineOf("/no/such/file", address).has_value());
}

TEST(FaultLocationTest, ScrambledBytesNeverCrashTheReader)
{
    const std::vector<unsigned char> image = ownImage();
    const std::uintptr_t address = returnAddress() - 1 - loadBias();
    // Overwrite stretches all over the file, the debug sections included, with a fixed pattern.
    std::uint32_t state = 12345;
    for (int round = 0; round < 40; ++round) {
        std::vector<unsigned char> damaged = image;
        for (int hit = 0; hit < 200; ++hit) {
            state = state * 1664525u + 1013904223u;
            const std::size_t at = state % damaged.size();
            damaged[at] = static_cast<unsigned char>(state >> 24);
        }
        (void)sourceLineIn(damaged, address); // must return, whatever it finds
    }
}

} // namespace
} // namespace velmora

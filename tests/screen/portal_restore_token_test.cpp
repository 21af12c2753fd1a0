// The desktop's restore token in the Work folder: kept for the presenter alone, never read from
// a file that is not one.

#include "screen/portal_restore_token.h"
#include "support/file_bytes.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace velmora {
namespace {

unsigned modeOf(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST(PortalRestoreToken, StoredTokenComesBackAndReplacesTheLastOne)
{
    test::TemporaryFolder work;
    const std::string file = work.file(kRestoreTokenFile);
    EXPECT_EQ(readRestoreToken(file), "");
    ASSERT_TRUE(storeRestoreToken(file, "1bf28d6a-12fc-4e75-8083-b9b56a83b710"));
    EXPECT_EQ(readRestoreToken(file), "1bf28d6a-12fc-4e75-8083-b9b56a83b710");
    ASSERT_TRUE(storeRestoreToken(file, "second"));
    EXPECT_EQ(readRestoreToken(file), "second");
    // A desktop that remembers nothing leaves nothing to hand back.
    ASSERT_TRUE(storeRestoreToken(file, ""));
    EXPECT_EQ(readRestoreToken(file), "");
}

TEST(PortalRestoreToken, FileIsOwnerOnlyEvenWhereItWasReadableByOthers)
{
    test::TemporaryFolder work;
    const std::string file = work.file(kRestoreTokenFile);
    ASSERT_TRUE(test::writeFileBytes(file, "old\n"));
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    ASSERT_TRUE(storeRestoreToken(file, "token"));
    EXPECT_EQ(modeOf(file), 0600u);
}

TEST(PortalRestoreToken, FileThatHoldsNoTokenGivesNone)
{
    test::TemporaryFolder work;
    const std::string file = work.file(kRestoreTokenFile);
    for (const std::string& contents : {std::string("two words\n"), std::string("tab\there"),
                                        std::string(600, 'a'), std::string("nul\0inside", 10)}) {
        ASSERT_TRUE(test::writeFileBytes(file, contents));
        EXPECT_EQ(readRestoreToken(file), "") << contents;
    }
    ASSERT_TRUE(test::writeFileBytes(file, "token-with-windows-line-end\r\n"));
    EXPECT_EQ(readRestoreToken(file), "token-with-windows-line-end");
}

} // namespace
} // namespace velmora

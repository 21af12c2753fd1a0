#include "transfer/server_key_store.h"

#include "support/file_bytes.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora {
namespace {

constexpr char kPinA[] = "sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";
constexpr char kPinB[] = "sha256//BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB=";

TEST(ServerKeyStore, RemembersPerHostAndPort)
{
    test::TemporaryFolder folder;
    const ServerKeyStore store(folder.file("keys"));
    EXPECT_FALSE(store.find("host:21"));
    ASSERT_TRUE(store.remember("host:21", kPinA));
    ASSERT_TRUE(store.remember("host:990", kPinB));
    EXPECT_EQ(store.find("host:21"), kPinA);
    EXPECT_EQ(store.find("host:990"), kPinB);
    EXPECT_FALSE(store.find("host:2121"));
    EXPECT_FALSE(store.find("other:21"));
    EXPECT_EQ(test::fileBytes(folder.file("keys")),
              std::string("host:21 ") + kPinA + "\nhost:990 " + kPinB + "\n");
}

TEST(ServerKeyStore, KeyFileIsOwnerOnly)
{
#ifdef _WIN32
    GTEST_SKIP() << "no mode bits on Windows: the file takes the access rights of the presenter's "
                    "own profile folder";
#endif
    test::TemporaryFolder folder;
    const ServerKeyStore store(folder.file("keys"));
    ASSERT_TRUE(store.remember("host:21", kPinA));
    const auto perms = std::filesystem::status(folder.file("keys")).permissions();
    EXPECT_EQ(perms & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(ServerKeyStore, ANewKeyReplacesTheOldOneAndKeepsOtherLines)
{
    test::TemporaryFolder folder;
    test::writeFileBytes(folder.file("keys"), std::string("# mine\nhost:21 ") + kPinA +
                                                  "\nbroken line\nhost:22 " + kPinA + "\n");
    const ServerKeyStore store(folder.file("keys"));
    ASSERT_TRUE(store.remember("host:21", kPinB));
    EXPECT_EQ(store.find("host:21"), kPinB);
    EXPECT_EQ(test::fileBytes(folder.file("keys")),
              std::string("# mine\nbroken line\nhost:22 ") + kPinA + "\nhost:21 " + kPinB + "\n");
}

// Lines of earlier versions are keys the presenter vouched for; a key a certificate vouched for
// carries its mark, which nothing else is taken for.
TEST(ServerKeyStore, KeysVouchedForByACertificateAreMarked)
{
    test::TemporaryFolder folder;
    const std::string before =
        std::string("host:21 ") + kPinA + "\nhost:22 " + kPinA + " certified extra\n";
    test::writeFileBytes(folder.file("keys"), before);
    const ServerKeyStore store(folder.file("keys"));
    EXPECT_EQ(store.lookUp("host:21")->voucher, KeyVoucher::Presenter);
    EXPECT_FALSE(store.lookUp("host:22"));
    ASSERT_TRUE(store.remember("host:990", kPinB, KeyVoucher::Certificate));
    const auto certified = store.lookUp("host:990");
    ASSERT_TRUE(certified);
    EXPECT_EQ(certified->pin, kPinB);
    EXPECT_EQ(certified->voucher, KeyVoucher::Certificate);
    EXPECT_EQ(store.find("host:990"), kPinB);
    EXPECT_EQ(test::fileBytes(folder.file("keys")), before + "host:990 " + kPinB + " certified\n");
}

TEST(ServerKeyStore, LinesThatAreNotPinsNeverMatch)
{
    test::TemporaryFolder folder;
    test::writeFileBytes(folder.file("keys"), "host:21 md5//abc\nhost:22 sha256//\nhost:23\n");
    const ServerKeyStore store(folder.file("keys"));
    EXPECT_FALSE(store.find("host:21"));
    EXPECT_FALSE(store.find("host:22"));
    EXPECT_FALSE(store.find("host:23"));
}

TEST(ServerKeyStore, WithoutAFileNothingIsRememberedOrFound)
{
    const ServerKeyStore store("");
    EXPECT_FALSE(store.remember("host:21", kPinA));
    EXPECT_FALSE(store.find("host:21"));
    test::TemporaryFolder folder;
    const ServerKeyStore strict(folder.file("keys"));
    EXPECT_FALSE(strict.remember("host:21\nevil:21", kPinA));
    EXPECT_FALSE(strict.remember("host:21", std::string(kPinA) + "\nevil:21 " + kPinB));
    EXPECT_FALSE(strict.find("evil:21"));
}

} // namespace
} // namespace velmora

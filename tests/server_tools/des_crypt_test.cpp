#include "server_tools/des_crypt.h"

#include <gtest/gtest.h>

#include <crypt.h>

#include <random>
#include <string>

namespace velmora {
namespace {

constexpr char kAlphabet[] = "./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The system's crypt(3) serves only as the reference here; the program never calls it.
std::string systemCrypt(const std::string& password, const std::string& salt)
{
    crypt_data data{};
    const char* hash = crypt_r(password.c_str(), salt.c_str(), &data);
    return hash != nullptr ? std::string(hash) : std::string();
}

std::string randomPassword(std::mt19937& random, int maxLength, int lowest, int highest)
{
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<int> byte(lowest, highest);
    std::string password;
    for (int n = length(random); n > 0; --n)
        password += static_cast<char>(byte(random));
    return password;
}

TEST(DesCrypt, AgreesWithSystemCryptOverManyPasswords)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> saltIndex(0, 63);
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        // Printable passwords as presenters type them, then any byte but NUL (high bits too).
        const std::string password = i % 2 == 0 ? randomPassword(random, 12, 0x20, 0x7E)
                                                : randomPassword(random, 12, 0x01, 0xFF);
        // The program's own salt half of the time, any valid salt otherwise.
        const std::string salt =
            i % 4 < 2 ? std::string(kLoginSalt)
                      : std::string{kAlphabet[saltIndex(random)], kAlphabet[saltIndex(random)]};
        const std::string expected = systemCrypt(password, salt);
        ASSERT_EQ(expected.size(), 13u) << "the reference refused salt " << salt;
        ASSERT_EQ(DesCrypt(password, salt), expected) << "password bytes: " << password.size();
        ++compared;
    }
    EXPECT_EQ(compared, 3000);
}

TEST(DesCrypt, AgreesWithSystemCryptAtTheEdges)
{
    for (const std::string password :
         {"", " ", "a", "12345678", "123456789", "\x7F\x7F\x7F\x7F\x7F\x7F\x7F\x7F",
          "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", "p\xE4sswort", "with:colon"})
        for (const std::string salt : {"vq", "..", "zz", "./", "9A"})
            EXPECT_EQ(DesCrypt(password, salt), systemCrypt(password, salt))
                << password << " / " << salt;
}

TEST(DesCrypt, ShapeOfTheHashWithTheProgramsSalt)
{
    const std::string hash = DesCrypt("geheim");
    ASSERT_EQ(hash.size(), 13u);
    EXPECT_EQ(hash.substr(0, 2), "vq");
    EXPECT_EQ(hash.find_first_not_of(kAlphabet), std::string::npos);
    // The last character carries two padding zero bits: only every fourth character can appear.
    EXPECT_EQ(std::string(kAlphabet).find(hash[12]) % 4, 0u);
}

TEST(DesCrypt, OnlyEightCharactersAndSevenBitsCount)
{
    EXPECT_EQ(DesCrypt("abcdefgh"), DesCrypt("abcdefghIJKLMN"));
    EXPECT_NE(DesCrypt("abcdefg"), DesCrypt("abcdefgh"));
    // 0xE4 (a with umlaut) and 'd' (0x64) differ only in the eighth bit.
    EXPECT_EQ(DesCrypt("p\xE4sswort"), DesCrypt("pdsswort"));
    // As in C, the password ends at a NUL.
    EXPECT_EQ(DesCrypt(std::string("ab\0cd", 5)), DesCrypt("ab"));
    EXPECT_NE(DesCrypt("Geheim"), DesCrypt("geheim"));
}

TEST(DesCrypt, RefusesSaltsOutsideTheAlphabet)
{
    EXPECT_EQ(DesCrypt("x", ""), "");
    EXPECT_EQ(DesCrypt("x", "v"), "");
    EXPECT_EQ(DesCrypt("x", "v$"), "");
    EXPECT_EQ(DesCrypt("x", ":q"), "");
}

} // namespace
} // namespace velmora

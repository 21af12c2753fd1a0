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

TEST(desCrypt, AgreesWithSystemCryptOverManyPasswords)
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
        ASSERT_EQ(desCrypt(password, salt), expected) << "password bytes: " << password.size();
        ++compared;
    }
    EXPECT_EQ(compared, 3000);
}

TEST(desCrypt, AgreesWithSystemCryptAtTheEdges)
{
    for (const std::string password :
         {"", " ", "a", "12345678", "123456789", "\x7F\x7F\x7F\x7F\x7F\x7F\x7F\x7F",
          "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", "p\xE4sswort", "with:colon"})
        for (const std::string salt : {"vq", "..", "zz", "./", "9A"})
            EXPECT_EQ(desCrypt(password, salt), systemCrypt(password, salt))
                << password << " / " << salt;
}

TEST(desCrypt, ShapeOfTheHashWithTheProgramsSalt)
{
    const std::string hash = desCrypt("geheim");
    ASSERT_EQ(hash.size(), 13u);
    EXPECT_EQ(hash.substr(0, 2), "vq");
    EXPECT_EQ(hash.find_first_not_of(kAlphabet), std::string::npos);
    // The last character carries two padding zero bits: only every fourth character can appear.
    EXPECT_EQ(std::string(kAlphabet).find(hash[12]) % 4, 0u);
}

TEST(desCrypt, OnlyEightCharactersAndSevenBitsCount)
{
    EXPECT_EQ(desCrypt("abcdefgh"), desCrypt("abcdefghIJKLMN"));
    EXPECT_NE(desCrypt("abcdefg"), desCrypt("abcdefgh"));
    // 0xE4 (a with umlaut) and 'd' (0x64) differ only in the eighth bit.
    EXPECT_EQ(desCrypt("p\xE4sswort"), desCrypt("pdsswort"));
    // As in C, the password ends at a NUL.
    EXPECT_EQ(desCrypt(std::string("ab\0cd", 5)), desCrypt("ab"));
    EXPECT_NE(desCrypt("Geheim"), desCrypt("geheim"));
}

TEST(desCrypt, RefusesSaltsOutsideTheAlphabet)
{
    EXPECT_EQ(desCrypt("x", ""), "");
    EXPECT_EQ(desCrypt("x", "v"), "");
    EXPECT_EQ(desCrypt("x", "v$"), "");
    EXPECT_EQ(desCrypt("x", ":q"), "");
}

} // namespace
} // namespace velmora

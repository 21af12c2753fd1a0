#include "settings/base64.h"
#include "settings/credential_scrambling.h"

#include <gtest/gtest.h>
#include <random>

namespace velmora {
namespace {

std::string Rc4Hex(std::string bytes, std::string_view key)
{
    Rc4Transform(bytes.data(), bytes.size(), key);
    std::string hex;
    for (const char c : bytes) {
        static const char digits[] = "0123456789abcdef";
        hex += digits[static_cast<unsigned char>(c) >> 4];
        hex += digits[static_cast<unsigned char>(c) & 15];
    }
    return hex;
}

TEST(CredentialScrambling, Rc4MatchesThePublishedTestVectors)
{
    EXPECT_EQ(Rc4Hex("Plaintext", "Key"), "bbf316e8d940af0ad3");
    EXPECT_EQ(Rc4Hex("pedia", "Wiki"), "1021bf0420");
    EXPECT_EQ(Rc4Hex("Attack at dawn", "Secret"), "45a01f645fc35b383552544b9bf5");
}

TEST(CredentialScrambling, KeyFormsHaveTheirShapes)
{
    EXPECT_EQ(ReverseText("abc"), "cba");
    const std::string v2 = BuildCredentialKey(kUserNameSelector, 2);
    EXPECT_EQ(v2.size(), 90u);
    EXPECT_EQ(BuildCredentialKey(kPasswordSelector, 7), v2);
    const std::string v1 = BuildCredentialKey(kUserNameSelector, 1);
    ASSERT_EQ(v1.size(), 106u);
    EXPECT_EQ(v1.substr(30, 8), kUserNameSelector);
    EXPECT_EQ(v1.substr(68, 8), kUserNameSelector);
    EXPECT_EQ(v1.substr(0, 30) + v1.substr(38, 30) + v1.substr(76), v2);
    EXPECT_EQ(BuildCredentialKey(kPasswordSelector, -5).substr(30, 8), kPasswordSelector);
}

// Stored forms written by earlier runs must stay readable forever: these pin the key pieces and
// selectors (computed independently of this code).
TEST(CredentialScrambling, KnownStoredFormsStayReadable)
{
    EXPECT_EQ(EncodeCredential("praesentation", kUserNameSelector), "DB0/FfN+cDp23qGUaYQ=");
    EXPECT_EQ(EncodeCredential("  Geheim\xFC!  ", kPasswordSelector), "Owo2Fel24m9r");
    EXPECT_EQ(DecodeCredential("DB0/FfN+cDp23qGUaYQ=", kUserNameSelector, 2), "praesentation");
    EXPECT_EQ(DecodeCredential("npQPBBLc", kUserNameSelector, 1), "alice");
    EXPECT_EQ(DecodeCredential("urWl7udrmA==", kPasswordSelector, 0), "s3cret");
}

TEST(CredentialScrambling, EmptyAndEqualTexts)
{
    const std::string empty = EncodeCredential("", kUserNameSelector);
    EXPECT_EQ(empty.size(), 4u);
    EXPECT_EQ(empty.substr(2), "==");
    EXPECT_EQ(DecodeCredential(empty, kUserNameSelector, 2), "");
    EXPECT_EQ(DecodeCredential("", kUserNameSelector, 2), "");
    EXPECT_EQ(EncodeCredential("same", kUserNameSelector),
              EncodeCredential("same", kPasswordSelector));
    EXPECT_EQ(EncodeCredential(" x ", kUserNameSelector), EncodeCredential("x", kUserNameSelector));
}

TEST(CredentialScrambling, Base64DecoderQuirks)
{
    EXPECT_EQ(base64Decode("TWFu"), "Man");
    EXPECT_EQ(base64Decode("TQ=="), "M");
    EXPECT_EQ(base64Decode("TWE="), "Ma");
    EXPECT_EQ(base64Decode("TQ==TWFu"), "MMan") << "padding only shortens its own group";
    EXPECT_EQ(base64Decode("TWFuTQ"), "") << "a trailing part group voids the whole text";
    EXPECT_EQ(base64Decode("!!!!"), std::string(3, '\0')) << "foreign characters count as 0";
    EXPECT_EQ(DecodeCredential("TWFuTQ", kUserNameSelector, 2), "");
}

TEST(CredentialScrambling, DecodedTextEndsAtZeroByteAndDropsTheLastByte)
{
    const std::string key = BuildCredentialKey(kUserNameSelector, 2);
    std::string bytes("ab\0cd#", 6);
    Rc4Transform(bytes.data(), bytes.size(), key);
    EXPECT_EQ(DecodeCredential(base64Encode(bytes), kUserNameSelector, 2), "ab");
    bytes = "abc#";
    Rc4Transform(bytes.data(), bytes.size(), key);
    EXPECT_EQ(DecodeCredential(base64Encode(bytes), kUserNameSelector, 2), "abc");
}

TEST(CredentialScrambling, RoundTripsRandomTextsOfAllByteValues)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 70, '\0');
        for (char& c : text)
            c = static_cast<char>(random() % 256);
        std::string twice = text;
        Rc4Transform(twice.data(), twice.size(), "key");
        Rc4Transform(twice.data(), twice.size(), "key");
        ASSERT_EQ(twice, text);
        ASSERT_EQ(base64Decode(base64Encode(text)), text);

        // What the scrambling keeps: the text without outer spaces, up to a zero byte.
        const auto first = text.find_first_not_of(' ');
        std::string kept = first == std::string::npos
                               ? ""
                               : text.substr(first, text.find_last_not_of(' ') - first + 1);
        kept = kept.substr(0, kept.find('\0'));
        const auto selector = round % 2 ? kUserNameSelector : kPasswordSelector;
        const std::string stored = EncodeCredential(text, selector);
        ASSERT_EQ(stored.size() % 4, 0u);
        ASSERT_EQ(DecodeCredential(stored, selector, 2), kept) << round;
    }
}

} // namespace
} // namespace velmora

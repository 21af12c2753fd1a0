// Random preference files and stored credentials made of the pieces that matter to the parser,
// mixed with arbitrary bytes. Seeded, so a failure repeats; the iteration count keeps it brief.

#include "preference_fuzz_checks.h"

#include <gtest/gtest.h>
#include <random>

namespace velmora {
namespace {

std::string RandomInput(std::mt19937& random)
{
    static const std::string_view pieces[] = {"\r",
                                              "\n",
                                              "\r\n",
                                              " ",
                                              "\t",
                                              ";",
                                              "[",
                                              "]",
                                              "=",
                                              std::string_view("\0", 1),
                                              "\xEF\xBB\xBF",
                                              "FTPServerName",
                                              "ftpsubdir",
                                              "Key",
                                              "\xC3\xBC",
                                              "\xE2\x82\xAC",
                                              "\xC3",
                                              "\xFF",
                                              "==",
                                              "AAAA",
                                              "+/9z",
                                              "$",
                                              "%",
                                              "-",
                                              "12"};
    std::string input;
    const auto count = random() % 60;
    for (unsigned k = 0; k < count; ++k) {
        if (random() % 4 == 0)
            input += static_cast<char>(random() % 256);
        else
            input += pieces[random() % std::size(pieces)];
    }
    return input;
}

TEST(SettingsFuzz, ArbitraryPreferenceFilesAndCredentials)
{
    std::mt19937 random(3);
    for (int round = 0; round < 300000; ++round) {
        const std::string input = RandomInput(random);
        ASSERT_EQ(test::PreferenceInputProblem(input), "") << "round " << round;
    }
}

TEST(SettingsFuzz, KnownHardCases)
{
    using namespace std::string_literals;
    for (const std::string& input :
         {""s, "\xEF\xBB\xBF"s, "\xEF\xBB"s, "  \xEF\xBB\xBF = 1"s, "\0"s, "\0\0\r\n\0=\0"s, "="s,
          "[\r\n"s, ";"s, "FTPServerName\nFTPSubDir = x\n"s, "\xEF\xBB\xBF\xC3"s, "TQ=="s}) {
        EXPECT_EQ(test::PreferenceInputProblem(input), "") << '"' << input << '"';
    }
}

} // namespace
} // namespace velmora

#include "server_tools/des_crypt.h"
#include "server_tools/login_files.h"

#include <gtest/gtest.h>

#include <crypt.h>

namespace velmora {
namespace {

std::string systemCrypt(const std::string& password)
{
    crypt_data data{};
    const char* hash = crypt_r(password.c_str(), "vq", &data);
    return hash != nullptr ? std::string(hash) : std::string();
}

TEST(AccessRules, SixLinesWithCrLf)
{
    EXPECT_EQ(accessRulesText("Velmora", "/home/anna/public_html/show/"),
              "AuthName \"Velmora\"\r\n"
              "AuthType Basic\r\n"
              "AuthUserFile /home/anna/public_html/show/.htpasswd\r\n"
              "<Limit GET POST>\r\n"
              "require valid-user\r\n"
              "</Limit>\r\n");
}

TEST(AccessRules, PathIsUsedAsTypedAndQuotedOnlyWithBlanks)
{
    // Without a trailing "/" the file name is glued to the last directory name.
    EXPECT_NE(accessRulesText("Velmora", "/srv/show").find("AuthUserFile /srv/show.htpasswd\r\n"),
              std::string::npos);
    // Apache would read a path with a space as two arguments and refuse the whole directory.
    EXPECT_NE(accessRulesText("Velmora", "/srv/my show/")
                  .find("AuthUserFile \"/srv/my show/.htpasswd\"\r\n"),
              std::string::npos);
    // Windows-1252 bytes go through unchanged.
    EXPECT_NE(accessRulesText("Velmora", "/srv/b\xFChne/").find("/srv/b\xFChne/.htpasswd\r\n"),
              std::string::npos);
}

TEST(AccessRules, TheProgramsRealmIsNotEmpty)
{
    const std::string realm = kLoginRealm;
    EXPECT_FALSE(realm.empty());
    EXPECT_EQ(realm.find('"'), std::string::npos);
    EXPECT_EQ(accessRulesText(kLoginRealm, "/x/").rfind("AuthName \"Velmora\"\r\n", 0), 0u);
}

TEST(PasswordList, OneLineWithTrimmedIdAndHash)
{
    EXPECT_EQ(passwordListText("  anna ", " geheim  "), "anna:" + systemCrypt("geheim") + "\r\n");
    const std::string line = passwordListText("anna", "geheim");
    EXPECT_EQ(line.size(), 5u + 13u + 2u);
    EXPECT_EQ(line.substr(5, 2), "vq");
}

TEST(PasswordList, EmptyIdAndPasswordAreWritten)
{
    EXPECT_EQ(passwordListText("", ""), ":" + systemCrypt("") + "\r\n");
    EXPECT_EQ(passwordListText("   ", "   "), ":" + desCrypt("") + "\r\n");
}

TEST(PasswordList, PasswordsAlikeInTheirFirstEightCharactersGiveOneHash)
{
    EXPECT_EQ(passwordListText("a", "12345678abc"), passwordListText("a", "12345678xyz"));
}

TEST(LoginInput, RefusesWhatWouldBreakTheListOrNeverMatch)
{
    EXPECT_FALSE(loginInputProblem("anna", "geheim"));
    EXPECT_FALSE(loginInputProblem(" anna maria ", " ge heim! "));
    EXPECT_FALSE(loginInputProblem("", ""));
    // Only the hash of the password is written, so a colon there is harmless.
    EXPECT_FALSE(loginInputProblem("anna", "a:b"));

    const auto idProblem = loginInputProblem("an:na", "x");
    ASSERT_TRUE(idProblem);
    EXPECT_NE(idProblem->find("LoginID"), std::string::npos);
    EXPECT_NE(idProblem->find("Doppelpunkt"), std::string::npos);
    EXPECT_TRUE(loginInputProblem("anna\r\nmallory", "x"));
    EXPECT_TRUE(loginInputProblem("anna\n", "x"));
    EXPECT_TRUE(loginInputProblem("anna\t", "x"));
    EXPECT_TRUE(loginInputProblem("j\xFCrgen", "x"));

    const auto passwordProblem = loginInputProblem("anna", "ge\r\nheim");
    ASSERT_TRUE(passwordProblem);
    EXPECT_NE(passwordProblem->find("Passwort"), std::string::npos);
    EXPECT_TRUE(loginInputProblem("anna", "k\xE4se"));
    EXPECT_TRUE(loginInputProblem("anna", std::string("a\0b", 3)));
}

TEST(LoginInput, AnEmptyIdOrPasswordWouldLetEveryoneIn)
{
    EXPECT_FALSE(missingLoginProblem("anna", "geheim"));
    EXPECT_FALSE(missingLoginProblem(" a ", " g "));

    for (const std::string id : {"", " ", "    "}) {
        const auto problem = missingLoginProblem(id, "geheim");
        ASSERT_TRUE(problem) << "'" << id << "'";
        EXPECT_NE(problem->find("LoginID"), std::string::npos);
    }
    for (const std::string password : {"", " ", "    "}) {
        const auto problem = missingLoginProblem("anna", password);
        ASSERT_TRUE(problem) << "'" << password << "'";
        EXPECT_NE(problem->find("Passwort"), std::string::npos);
    }
    // Both empty: the login ID is asked for first.
    EXPECT_EQ(missingLoginProblem("", ""), missingLoginProblem("", "geheim"));
}

TEST(LoginInput, APasswordLongerThanEightCharactersIsHashedOnlyInPart)
{
    EXPECT_FALSE(passwordLongerThanHashed("geheim"));
    EXPECT_FALSE(passwordLongerThanHashed("12345678"));
    EXPECT_FALSE(passwordLongerThanHashed("   12345678   "));
    EXPECT_TRUE(passwordLongerThanHashed("123456789"));
    EXPECT_TRUE(passwordLongerThanHashed(" 1234 5678 "));
    EXPECT_EQ(desCrypt("12345678"), desCrypt("123456789"));
}

TEST(AbsolutePath, UsableOnlyWhenItCanNameTheDirectory)
{
    EXPECT_TRUE(usableAbsolutePath("/home/anna/public_html/show/"));
    EXPECT_TRUE(usableAbsolutePath("/srv/my show/"));
    EXPECT_TRUE(usableAbsolutePath("//"));
    EXPECT_FALSE(usableAbsolutePath(""));
    EXPECT_FALSE(usableAbsolutePath("/srv/\"show\"/"));
    EXPECT_FALSE(usableAbsolutePath("/srv/show/\r\nRequire all granted"));
    EXPECT_FALSE(usableAbsolutePath(std::string("/srv/\0/", 7)));
}

} // namespace
} // namespace velmora

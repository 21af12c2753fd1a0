#include "transfer/remote_path.h"
#include "transfer/server_address.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

std::pair<std::string, std::string> tidied(std::string web, std::string sub)
{
    normaliseDirectoryFields(web, sub);
    return {web, sub};
}

TEST(NormaliseDirectoryFields, WebDirectoryEndsInSlashOrIsEmpty)
{
    EXPECT_EQ(tidied("/", "x/").first, "");
    EXPECT_EQ(tidied("public_html", "x/").first, "public_html/");
    EXPECT_EQ(tidied("public_html/", "x/").first, "public_html/");
    EXPECT_EQ(tidied("", "x/").first, "");
    // Only a lone "/" goes: a leading one stays, spaces are not trimmed.
    EXPECT_EQ(tidied("/www", "x/").first, "/www/");
    EXPECT_EQ(tidied(" ", "x/").first, " /");
    EXPECT_EQ(tidied("//", "x/").first, "//");
}

TEST(NormaliseDirectoryFields, SubdirectoryIsNeverEmptyAndEndsInSlash)
{
    EXPECT_EQ(tidied("", "").second, "mydirectory/");
    EXPECT_EQ(tidied("", "show").second, "show/");
    EXPECT_EQ(tidied("", "a/b").second, "a/b/");
    EXPECT_EQ(tidied("", "a/b/").second, "a/b/");
    EXPECT_EQ(tidied("/", ""), std::make_pair(std::string(), std::string("mydirectory/")));
}

TEST(RemotePath, JoinsWithoutAddingSeparators)
{
    EXPECT_EQ(remotePath("public_html/", "mydirectory/", "index.htm"),
              "public_html/mydirectory/index.htm");
    EXPECT_EQ(remotePath("", "mydirectory/", "index.htm"), "mydirectory/index.htm");
    // Values from the preference file are used as stored, untidied.
    EXPECT_EQ(remotePath("www", "show", "Velmora1.png"), "wwwshowVelmora1.png");
}

TEST(ServerAddress, HostWithOptionalPort)
{
    auto plain = parseServerAddress("ftp.example.com");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->host, "ftp.example.com");
    EXPECT_EQ(plain->port, 21);
    auto withPort = parseServerAddress("127.0.0.1:2121");
    ASSERT_TRUE(withPort);
    EXPECT_EQ(withPort->host, "127.0.0.1");
    EXPECT_EQ(withPort->port, 2121);
    auto v6 = parseServerAddress("[::1]:2121");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->host, "[::1]");
    EXPECT_EQ(v6->port, 2121);
    auto bareV6 = parseServerAddress("fe80::1");
    ASSERT_TRUE(bareV6);
    EXPECT_EQ(bareV6->host, "[fe80::1]");
    EXPECT_EQ(bareV6->port, 21);
}

TEST(ServerAddress, RejectsTextThatWouldChangeTheAddress)
{
    for (const char* bad : {"", ":21", "host:", "host:0", "host:65536", "host:21x", "host:-1",
                            "evil.example/path", "user@host", "host?x", "host#x", "ho st",
                            "host\r\nQUIT", "[::1", "[::1]x", "[zz::1]", "h\xE4st"})
        EXPECT_FALSE(parseServerAddress(bad)) << bad;
}

} // namespace
} // namespace velmora

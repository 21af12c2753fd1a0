#include "transfer/ftp_reply.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(FtpDialogue, PairsEachCommandWithItsFinalReply)
{
    FtpDialogue d;
    d.received("220 welcome\r\n"); // greeting: no command yet
    d.sent("USER anonymous\r\n");
    d.received("331 go on\r\n");
    d.sent("PASS x\r\n");
    d.received("230-Hello\r\n230-more text\r\n");
    d.received("230 ok\r\n");
    d.sent("PWD\r\n");
    d.received("257 \"/\" is current\r\n");
    d.sent("CWD sub\r\n");
    d.received("550 no such dir");
    d.received("ectory\r\n"); // a reply may come in pieces
    d.sent("PWD\r\n");
    d.received("257 \"/x\" is current\r\n");
    d.sent("STOR a\r\n");
    d.received("150 opening\r\n"); // preliminary
    d.received("226 done\r\n");

    ASSERT_TRUE(d.lastOf("CWD"));
    EXPECT_EQ(d.lastOf("CWD")->replyCode, 550);
    EXPECT_EQ(d.lastOf("CWD")->replyText, "550 no such directory");
    EXPECT_EQ(d.lastOf("PASS")->replyCode, 230);
    EXPECT_EQ(d.lastOf("PASS")->replyText, "230-Hello\n230-more text\n230 ok");
    EXPECT_EQ(d.lastOf("pwd")->replyText, "257 \"/x\" is current");
    EXPECT_EQ(d.lastOf("STOR")->replyCode, 226);
    EXPECT_EQ(d.lastOf("DELE"), nullptr);
    EXPECT_EQ(d.lastOf("PW"), nullptr); // whole words only
}

TEST(FtpDialogue, CommandWithoutReplyStaysOpen)
{
    FtpDialogue d;
    d.sent("DELE a\r\n");
    ASSERT_TRUE(d.lastOf("DELE"));
    EXPECT_EQ(d.lastOf("DELE")->replyCode, 0);
    d.clear();
    EXPECT_EQ(d.lastOf("DELE"), nullptr);
}

TEST(QuotedDirectory, ReadsThePathAndUndoesDoubledQuotes)
{
    EXPECT_EQ(quotedDirectory("257 \"/public_html/mydirectory\" is the current directory."),
              "/public_html/mydirectory");
    EXPECT_EQ(quotedDirectory("257 \"/\""), "/");
    EXPECT_EQ(quotedDirectory("257 \"/a \"\"b\"\" c\" created"), "/a \"b\" c");
    EXPECT_EQ(quotedDirectory("257 \"\" empty"), "");
    EXPECT_FALSE(quotedDirectory("257 /no/quotes"));
    EXPECT_FALSE(quotedDirectory("257 \"/unterminated"));
}

TEST(SizeInReply, OnlyTheBareNumberOfA213Reply)
{
    EXPECT_EQ(sizeInReply("213 0"), 0);
    EXPECT_EQ(sizeInReply("213 307204"), 307204);
    // Anything the server adds makes the size unknown rather than a guess: a cut upload must
    // not pass for whole.
    EXPECT_FALSE(sizeInReply("213 307204 bytes"));
    EXPECT_FALSE(sizeInReply("213 -5"));
    EXPECT_FALSE(sizeInReply("213 "));
    EXPECT_FALSE(sizeInReply("213-File status\n213 12"));
    EXPECT_FALSE(sizeInReply("550 12"));
    EXPECT_FALSE(sizeInReply("213 99999999999999999999999"));
}

} // namespace
} // namespace velmora

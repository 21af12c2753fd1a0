#include "settings/preference_document.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace std::string_literals;

TEST(PreferenceDocument, FindsKeysWhateverTheirCaseAndBlanks)
{
    const PreferenceDocument doc(" \t ftpservername=  ftp.example.org \t\r\n"
                                 "Path = a = b\r\n"
                                 "Empty =\r\n"
                                 "Bare\r\n"
                                 "  = no key\r\n");
    EXPECT_EQ(doc.readText("FTPServerName", "x"), "ftp.example.org");
    EXPECT_EQ(doc.readText("path", "x"), "a = b");
    EXPECT_EQ(doc.readText("Empty", "default"), "") << "present but empty is not absent";
    EXPECT_EQ(doc.readText("Bare", "default"), "");
    EXPECT_EQ(doc.readText("Missing", "default"), "default");
    EXPECT_FALSE(doc.modified());
}

TEST(PreferenceDocument, WritesBackNormalisedLinesInTheirPlaces)
{
    PreferenceDocument doc(";no space\n\n\r\n;  two spaces\r\n"
                           "  ftpservername=old\n"
                           "Unknown=kept \r\r\n"
                           "[Group] trailing words\n"
                           "FTPServerName = grouped\n"
                           "[Unclosed\n");
    doc.writeText("FTPServerName", "new");
    EXPECT_EQ(doc.render(), "; no space\r\n"
                            ";  two spaces\r\n"
                            "FTPServerName = new\r\n"
                            "Unknown = kept \r\n"
                            "[Group]\r\n"
                            "FTPServerName = grouped\r\n"
                            "[Unclosed]\r\n");
}

TEST(PreferenceDocument, SeesAndAddsKeysOnlyAboveTheFirstGroup)
{
    PreferenceDocument groupFirst("[Group]\r\nFTPServerName = grouped\r\n");
    EXPECT_EQ(groupFirst.readText("FTPServerName", "default"), "default");
    groupFirst.writeText("SettingVersion", "2");
    groupFirst.writeText("FTPServerName", "top");
    EXPECT_EQ(groupFirst.readText("FTPServerName", ""), "top");
    EXPECT_EQ(groupFirst.render(), "SettingVersion = 2\r\nFTPServerName = top\r\n"
                                   "[Group]\r\nFTPServerName = grouped\r\n");

    PreferenceDocument groupLater("A = 1\r\n; note\r\n[G]\r\nB = 2\r\n");
    groupLater.writeText("B", "3");
    EXPECT_EQ(groupLater.render(), "A = 1\r\n; note\r\nB = 3\r\n[G]\r\nB = 2\r\n");

    PreferenceDocument empty;
    EXPECT_EQ(empty.render(), "");
    empty.writeText("A", "1");
    EXPECT_EQ(empty.render(), "A = 1\r\n");
}

TEST(PreferenceDocument, RepeatedWritesUpdateTheFirstMatchingEntry)
{
    PreferenceDocument doc("key = 1\r\nKEY = 2\r\n");
    doc.writeText("Key", "3");
    doc.writeText("kEY", "4");
    doc.writeText("New", "5");
    doc.writeText("NEW", "6");
    EXPECT_EQ(doc.readText("key", ""), "4");
    EXPECT_EQ(doc.render(), "kEY = 4\r\nKEY = 2\r\nNEW = 6\r\n");
    EXPECT_TRUE(doc.modified());
}

TEST(PreferenceDocument, FindsTheFirstLineOfEachOfManyKeys)
{
    std::string text;
    for (int k = 0; k < 5000; ++k)
        text += "Key" + std::to_string(k) + " = first" + std::to_string(k) + "\r\n";
    for (int k = 0; k < 5000; ++k)
        text += "KEY" + std::to_string(k) + " = second\r\n";
    text += "[G]\r\nGrouped = 1\r\n";
    const PreferenceDocument doc(text);
    for (int k = 0; k < 5000; ++k)
        ASSERT_EQ(doc.readText("key" + std::to_string(k), ""), "first" + std::to_string(k));
    EXPECT_EQ(doc.readText("Grouped", "none"), "none");
    EXPECT_EQ(doc.readText("Key5000", "none"), "none");
}

TEST(PreferenceDocument, KeyWithoutEqualsInLfFileDoesNotSwallowTheNextLine)
{
    const PreferenceDocument doc("FTPSubDir\nFTPWebDir = web/\n");
    EXPECT_EQ(doc.readText("FTPSubDir", "default"), "");
    EXPECT_EQ(doc.readText("FTPWebDir", ""), "web/");
}

TEST(PreferenceDocument, NulBytesNeitherEndTheFileNorEnterValues)
{
    PreferenceDocument doc("A = x\0y\r\nB = after\r\nC\0 = 1\r\n"s);
    EXPECT_EQ(doc.readText("A", ""), "x");
    EXPECT_EQ(doc.readText("B", ""), "after");
    doc.writeText("B", "new\0tail"s);
    EXPECT_EQ(doc.render(), "A = x\0y\r\nB = new\r\nC\0 = 1\r\n"s);
}

TEST(PreferenceDocument, WrittenLineBreaksCannotAddLines)
{
    PreferenceDocument doc;
    doc.writeText("FTPServerName", "host\r\nFTPSubDir = injected");
    EXPECT_EQ(doc.render(), "FTPServerName = host  FTPSubDir = injected\r\n");
    EXPECT_EQ(PreferenceDocument(doc.render()).readText("FTPSubDir", "none"), "none");
}

TEST(PreferenceDocument, Utf8FileConvertsBothWays)
{
    PreferenceDocument doc(
        "\xEF\xBB\xBF"
        "Name = Gr\xC3\xBC\xC3\x9F"
        "e\r\nWide = \xE2\x82\xAC|\xF0\x9F\x98\x80|\xC3|\xC0\x80|\xED\xA0\x80\r\n");
    EXPECT_EQ(doc.render().substr(0, 5), "\xEF\xBB\xBF\r\n") << "written back as UTF-8";
    EXPECT_EQ(doc.readText("Name", ""), "Gr\xFC\xDF"
                                        "e");
    EXPECT_EQ(doc.readText("Wide", ""), "\x80|?|?|??|???") << "the euro sign is in the table";
    doc.writeText("City", "M\xFC"
                          "nchen");
    EXPECT_EQ(doc.render(),
              "\xEF\xBB\xBF\r\n"
              "Name = Gr\xC3\xBC\xC3\x9F"
              "e\r\nWide = \xE2\x82\xAC|\xF0\x9F\x98\x80|\xC3|\xC0\x80|\xED\xA0\x80\r\n"
              "City = M\xC3\xBC"
              "nchen\r\n");
    EXPECT_EQ(PreferenceDocument(doc.render()).readText("city", ""), "M\xFC"
                                                                     "nchen");
}

TEST(PreferenceDocument, Utf8FileUsesTheWindows1252Table)
{
    PreferenceDocument doc("\xEF\xBB\xBF\r\n");
    doc.writeText("Euro", "5 \x80");
    doc.writeText("Quotes", "\x93x\x94");
    doc.writeText("Unassigned", "\x81\x8D\x8F\x90\x9D");
    EXPECT_EQ(doc.render(), "\xEF\xBB\xBF\r\n"
                            "Euro = 5 \xE2\x82\xAC\r\n"
                            "Quotes = \xE2\x80\x9Cx\xE2\x80\x9D\r\n"
                            "Unassigned = \xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\r\n");
    const PreferenceDocument reread(doc.render());
    EXPECT_EQ(reread.readText("Euro", ""), "5 \x80");
    EXPECT_EQ(reread.readText("Quotes", ""), "\x93x\x94");
    EXPECT_EQ(reread.readText("Unassigned", ""), "\x81\x8D\x8F\x90\x9D");
}

TEST(PreferenceDocument, Utf8FileFromEarlierVersionsStillReads)
{
    // Earlier versions wrote the byte 0x80 as U+0080 and 0x9F as U+009F.
    const PreferenceDocument old("\xEF\xBB\xBF\r\nPrice = 5 \xC2\x80\r\nY = \xC2\x9F\r\n");
    EXPECT_EQ(old.readText("Price", ""), "5 \x80");
    EXPECT_EQ(old.readText("Y", ""), "\x9F");
}

TEST(PreferenceDocument, Utf8CharactersOutsideWindows1252BecomeQuestionMarks)
{
    const PreferenceDocument doc("\xEF\xBB\xBF\r\n"
                                 "Name = \xC4\x80|\xE2\x82\xAD|\xE2\x80\x9C\r\n");
    EXPECT_EQ(doc.readText("Name", ""), "?|?|\x93") << "U+0100 and U+20AD have no byte";
}

TEST(PreferenceDocument, Utf8MarkNeedsAllThreeBytes)
{
    PreferenceDocument loneMark("\xEF\xBB\xBF");
    EXPECT_EQ(loneMark.render(), "\xEF\xBB\xBF\r\n") << "written back as UTF-8";
    EXPECT_EQ(loneMark.readText("A", "d"), "d");
    loneMark.writeText("A", "\xE4");
    EXPECT_EQ(loneMark.render(), "\xEF\xBB\xBF\r\nA = \xC3\xA4\r\n");

    PreferenceDocument twoBytes("\xEF\xBB");
    EXPECT_EQ(twoBytes.readText("\xEF\xBB", "absent"), "") << "a key, not a mark";
    twoBytes.writeText("A", "\xE4");
    EXPECT_EQ(twoBytes.render(), "\xEF\xBB = \r\nA = \xE4\r\n");
}

} // namespace
} // namespace velmora

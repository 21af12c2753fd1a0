#include "settings/settings_store.h"

#include "settings/credential_scrambling.h"
#include "settings/stored_file.h"

#include "preference_fuzz_checks.h"
#include "settings_store_messages.h"
#include "support/fake_message_boxes.h"
#include "support/file_bytes.h"
#include "support/temporary_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace velmora {
namespace {

using test::FakeMessageBoxes;
using test::fileBytes;
using test::TemporaryFolder;
using test::writeFileBytes;

void ExpectDefaults(const SettingsRecord& s)
{
    EXPECT_EQ(s.SettingVersion, 1);
    EXPECT_EQ(s.FTPServerName + s.FTPWebDir + s.FTPUserName + s.FTPPassword + s.LizenzSite +
                  s.HtpasswdPath + s.HtpasswdLoginID + s.HtpasswdLoginPass + s.ScreenRegion,
              "");
    EXPECT_EQ(s.FTPSubDir, "mydirectory/");
    EXPECT_EQ(s.PresentationAddress, "http://www.example.com/mydirectory/");
    EXPECT_EQ(s.PauseSeconds + s.Force256 + s.ForceDownscale + s.AutostartPresentation, 0);
    EXPECT_EQ(s.RemoteMousePointer, 1);
    EXPECT_EQ(s.BrowserRefresh, 2000);
    EXPECT_EQ(s.InternetRetryTime, 30);
}

TEST(SettingsStore, FirstStartCreatesAnEmptyFileAndTakesTheDefaults)
{
    TemporaryFolder folder;
    FakeMessageBoxes boxes;
    SettingsRecord settings;
    LoadSettings(settings, folder.folder(), boxes);
    ExpectDefaults(settings);
    EXPECT_EQ(TextsShown(boxes), std::vector<std::string>{kFirstRunHint});
    EXPECT_EQ(fileBytes(folder.file("Velmora.prf")), "");
}

TEST(SettingsStore, UnusableFolderGivesDefaultsAndMessages)
{
    TemporaryFolder folder;
    const std::string missing = folder.folder() + "missing/";
    FakeMessageBoxes boxes;
    SettingsRecord settings;
    LoadSettings(settings, missing, boxes);
    ExpectDefaults(settings);
    EXPECT_EQ(TextsShown(boxes), (std::vector<std::string>{kLoadFailed, kFirstRunHint}));

    boxes.clear();
    settings.FTPServerName = "ftp.example.org";
    SaveSettings(settings, missing, boxes);
    EXPECT_EQ(TextsShown(boxes), std::vector<std::string>{kSaveFailed});
    EXPECT_EQ(settings.FTPServerName, "ftp.example.org");
}

TEST(SettingsStore, NewFileHoldsEveryKeyInSaveOrder)
{
    TemporaryFolder folder;
    FakeMessageBoxes boxes;
    SettingsRecord s;
    s.FTPServerName = " ftp.example.org ";
    s.FTPWebDir = "htdocs/";
    s.FTPSubDir = "live/";
    s.FTPUserName = "praesentation";
    s.FTPPassword = "Geheim\xFC!";
    s.LizenzSite = "http://www.example.org/";
    s.HtpasswdPath = "/var/www/live/";
    s.HtpasswdLoginID = "gast";
    s.HtpasswdLoginPass = "offen";
    s.PauseSeconds = -3;
    s.RemoteMousePointer = 0;
    s.Force256 = 1;
    s.ForceDownscale = 1;
    s.AutostartPresentation = 1;
    s.ScreenRegion = "1,1,800,600";
    s.BrowserRefresh = 1500;
    s.InternetRetryTime = 60;
    SaveSettings(s, folder.folder(), boxes);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(s.SettingVersion, 2);
    EXPECT_EQ(s.FTPServerName, " ftp.example.org ") << "the record keeps what was typed";
    EXPECT_EQ(s.FTPUserName, "praesentation");
    EXPECT_EQ(fileBytes(folder.file("Velmora.prf")), "SettingVersion = 2\r\n"
                                                     "FTPServerName = ftp.example.org\r\n"
                                                     "FTPWebDir = htdocs/\r\n"
                                                     "FTPSubDir = live/\r\n"
                                                     "FTPUserName = DB0/FfN+cDp23qGUaYQ=\r\n"
                                                     "FTPPassword = Owo2Fel24m9r\r\n"
                                                     "LizenzSite = http://www.example.org/\r\n"
                                                     "HtpasswdPath = /var/www/live/\r\n"
                                                     "HtpasswdLoginID = gast\r\n"
                                                     "HtpasswdLoginPass = offen\r\n"
                                                     "PauseSeconds = -3\r\n"
                                                     "RemoteMousePointer = 0\r\n"
                                                     "Force256 = 1\r\n"
                                                     "ForceDownscale = 1\r\n"
                                                     "AutostartPresentation = 1\r\n"
                                                     "ScreenRegion = 1,1,800,600\r\n"
                                                     "BrowserRefresh = 1500\r\n"
                                                     "InternetRetryTime = 60\r\n");

    // Loading and saving what the program wrote changes nothing, byte for byte.
    const std::string written = fileBytes(folder.file("Velmora.prf"));
    SettingsRecord loaded;
    LoadSettings(loaded, folder.folder(), boxes);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(loaded.FTPServerName, "ftp.example.org");
    EXPECT_EQ(loaded.FTPPassword, "Geheim\xFC!");
    EXPECT_EQ(loaded.PauseSeconds, -3);
    EXPECT_EQ(loaded.PresentationAddress, "http://www.example.com/live/");
    SaveSettings(loaded, folder.folder(), boxes);
    EXPECT_EQ(fileBytes(folder.file("Velmora.prf")), written);
}

TEST(SettingsStore, EmptyValuesAreNotAbsentKeys)
{
    TemporaryFolder folder;
    writeFileBytes(folder.file("Velmora.prf"), "FTPServerName =  host  \r\nFTPSubDir =\r\n"
                                               "BrowserRefresh =\r\nPauseSeconds = 5s\r\n");
    FakeMessageBoxes boxes;
    SettingsRecord s;
    LoadSettings(s, folder.folder(), boxes);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(s.FTPServerName, "host");
    EXPECT_EQ(s.FTPSubDir, "");
    EXPECT_EQ(s.PresentationAddress, "http://www.example.com/");
    EXPECT_EQ(s.BrowserRefresh, 0);
    EXPECT_EQ(s.PauseSeconds, 5);
    EXPECT_EQ(s.InternetRetryTime, 30);
}

TEST(SettingsStore, VersionOneFileIsRewrittenInVersionTwoKeepingForeignLines)
{
    TemporaryFolder folder;
    const std::string path = folder.file("Velmora.prf");
    writeFileBytes(path,
                   "; my notes\r\nFTPServerName = host\r\nFTPUserName = npQPBBLc\r\n"
                   "FTPPassword = urWl7udrmA==\r\nMine = kept\r\n[Other]\r\nFTPSubDir = x/\r\n");
    FakeMessageBoxes boxes;
    SettingsRecord s;
    LoadSettings(s, folder.folder(), boxes);
    EXPECT_EQ(s.SettingVersion, 1);
    EXPECT_EQ(s.FTPUserName, "alice");
    EXPECT_EQ(s.FTPPassword, "s3cret");
    EXPECT_EQ(s.FTPSubDir, "mydirectory/") << "keys below a group header are not seen";
    SaveSettings(s, folder.folder(), boxes);
    const std::string after = fileBytes(path);
    const std::string expectedStart =
        "; my notes\r\nFTPServerName = host\r\nFTPUserName = " +
        EncodeCredential("alice", kUserNameSelector) +
        "\r\nFTPPassword = " + EncodeCredential("s3cret", kPasswordSelector) +
        "\r\nMine = kept\r\nSettingVersion = 2\r\nFTPWebDir = \r\nFTPSubDir = mydirectory/\r\n";
    const std::string expectedEnd = "InternetRetryTime = 30\r\n[Other]\r\nFTPSubDir = x/\r\n";
    ASSERT_GT(after.size(), expectedStart.size() + expectedEnd.size());
    EXPECT_EQ(after.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(after.substr(after.size() - expectedEnd.size()), expectedEnd);

    SettingsRecord again;
    LoadSettings(again, folder.folder(), boxes);
    EXPECT_EQ(again.SettingVersion, 2);
    EXPECT_EQ(again.FTPUserName, "alice");
    EXPECT_EQ(again.FTPPassword, "s3cret");
}

TEST(SettingsStore, OversizeFileIsRefusedWithMessagesAndLeftAlone)
{
    TemporaryFolder folder;
    const std::string path = folder.file("Velmora.prf");
    writeFileBytes(path, "FTPServerName = host\r\nFTPSubDir = live/\r\n");
    std::filesystem::resize_file(path, StoredFile::kMaximumSize + 1);
    const std::string before = fileBytes(path);
    FakeMessageBoxes boxes;
    SettingsRecord s;
    LoadSettings(s, folder.folder(), boxes);
    ExpectDefaults(s);
    EXPECT_EQ(TextsShown(boxes), (std::vector<std::string>{kLoadFailed, kFirstRunHint}));

    boxes.clear();
    s.FTPServerName = "other";
    SaveSettings(s, folder.folder(), boxes);
    EXPECT_EQ(TextsShown(boxes), std::vector<std::string>{kSaveFailed});
    EXPECT_EQ(fileBytes(path), before);
}

// Up to the limit, a file of nothing but one-letter lines still gives the keys after them.
TEST(SettingsStore, FileOfManyLinesAtTheSizeLimitLoadsItsKeys)
{
    TemporaryFolder folder;
    const std::string path = folder.file("Velmora.prf");
    const std::string keys = "FTPServerName = host\r\nFTPSubDir = live/\r\n";
    std::string lines;
    while (lines.size() + 2 + keys.size() <= StoredFile::kMaximumSize)
        lines += "a\n";
    writeFileBytes(path, lines + keys);
    FakeMessageBoxes boxes;
    SettingsRecord s;
    LoadSettings(s, folder.folder(), boxes);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(s.FTPServerName, "host");
    EXPECT_EQ(s.FTPSubDir, "live/");
    EXPECT_EQ(s.BrowserRefresh, 2000);

    // Written back, every "a" becomes "a = " and CR LF: too large to be read again, so not written.
    SaveSettings(s, folder.folder(), boxes);
    EXPECT_EQ(TextsShown(boxes), std::vector<std::string>{kSaveFailed});
    EXPECT_EQ(fileBytes(path), lines + keys);
}

// Every byte value in every text field: what comes back is what a single-line text field can
// hold (line breaks become spaces, a zero byte ends it, outer blanks go), the scrambled
// credentials keep line breaks and tabs.
TEST(SettingsStore, RandomTextsRoundTrip)
{
    auto asCredential = [](std::string text) {
        const auto first = text.find_first_not_of(' ');
        text = first == std::string::npos
                   ? std::string()
                   : text.substr(first, text.find_last_not_of(' ') - first + 1);
        return text.substr(0, text.find('\0'));
    };
    TemporaryFolder folder;
    std::mt19937 random(1306);
    auto randomText = [&] {
        std::string text(random() % 40, '\0');
        for (char& c : text)
            c = static_cast<char>(random() % 256);
        return text;
    };
    for (int round = 0; round < 100; ++round) {
        SettingsRecord s;
        s.FTPServerName = "host" + randomText();
        s.FTPWebDir = randomText();
        s.FTPSubDir = randomText();
        s.FTPUserName = randomText();
        s.FTPPassword = randomText();
        s.LizenzSite = randomText();
        s.ScreenRegion = randomText();
        s.HtpasswdLoginPass = randomText();
        s.BrowserRefresh = static_cast<std::int32_t>(random());
        FakeMessageBoxes boxes;
        SaveSettings(s, folder.folder(), boxes);
        SettingsRecord back;
        LoadSettings(back, folder.folder(), boxes);
        ASSERT_TRUE(boxes.shown().empty()) << round;
        ASSERT_EQ(back.FTPServerName, test::AsStoredLine(s.FTPServerName));
        ASSERT_EQ(back.FTPWebDir, test::AsStoredLine(s.FTPWebDir));
        ASSERT_EQ(back.FTPSubDir, test::AsStoredLine(s.FTPSubDir));
        ASSERT_EQ(back.LizenzSite, test::AsStoredLine(s.LizenzSite));
        ASSERT_EQ(back.ScreenRegion, test::AsStoredLine(s.ScreenRegion));
        ASSERT_EQ(back.HtpasswdLoginPass, test::AsStoredLine(s.HtpasswdLoginPass));
        ASSERT_EQ(back.FTPUserName, asCredential(s.FTPUserName));
        ASSERT_EQ(back.FTPPassword, asCredential(s.FTPPassword));
        ASSERT_EQ(back.BrowserRefresh, s.BrowserRefresh);
    }
}

} // namespace
} // namespace velmora

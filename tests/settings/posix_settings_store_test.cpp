// The settings store where POSIX decides: a file its owner may only read, a disk that is full.

#include "settings/settings_store.h"

#include "settings_store_messages.h"
#include "support/fake_message_boxes.h"
#include "support/file_bytes.h"
#include "support/temporary_folder.h"
#include "support/unprivileged_child.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace velmora {
namespace {

using test::FakeMessageBoxes;
using test::fileBytes;
using test::TemporaryFolder;
using test::writeFileBytes;

TEST(SettingsStore, ReadOnlyFileIsLeftAloneWithoutMessage)
{
    TemporaryFolder folder;
    test::ExpectInUnprivilegedChild(folder, [&] {
        const std::string path = folder.file("Velmora.prf");
        writeFileBytes(path, "FTPServerName = host\r\n");
        ::chmod(path.c_str(), 0400);
        FakeMessageBoxes boxes;
        SettingsRecord s;
        LoadSettings(s, folder.folder(), boxes);
        s.FTPServerName = "other";
        SaveSettings(s, folder.folder(), boxes);
        EXPECT_TRUE(boxes.shown().empty());
        EXPECT_EQ(fileBytes(path), "FTPServerName = host\r\n");
    });
}

TEST(SettingsStore, FailedWriteIsReportedAndKeepsTheOldFile)
{
    TemporaryFolder folder;
    test::ExpectInUnprivilegedChild(folder, [&] {
        const std::string path = folder.file("Velmora.prf");
        writeFileBytes(path, "FTPServerName = host\r\n");
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64}; // as good as a full disk
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        FakeMessageBoxes boxes;
        SettingsRecord s;
        s.FTPServerName = "other";
        SaveSettings(s, folder.folder(), boxes);
        EXPECT_EQ(TextsShown(boxes), std::vector<std::string>{kSaveFailed});
        EXPECT_EQ(fileBytes(path), "FTPServerName = host\r\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.folder()),
                                std::filesystem::directory_iterator()),
                  1);
    });
}

// A file beyond the size limit is refused whole: none of its keys count, the presenter is told at
// load and at save, and the file stays as it is.

} // namespace
} // namespace velmora

#include "settings/preference_file.h"

#include "support/file_bytes.h"
#include "support/temporary_folder.h"
#include "support/unprivileged_child.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

using test::fileBytes;
using test::TemporaryFolder;
using test::writeFileBytes;
namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

std::size_t EntriesIn(const TemporaryFolder& folder)
{
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder.folder()), fs::directory_iterator()));
}

TEST(PreferenceFile, CreatedFileIsPrivateAndStaysEmptyWhenNothingIsWritten)
{
    TemporaryFolder folder;
    const std::string path = folder.file("Velmora.prf");
    const mode_t oldMask = ::umask(022);
    PreferenceFile file;
    EXPECT_FALSE(file.open(path));
    EXPECT_EQ(file.readText("A", "default"), "default");
    EXPECT_TRUE(file.create(path));
    ::umask(oldMask);
    EXPECT_EQ(file.close(), CloseResult::Unchanged);
    EXPECT_EQ(fileBytes(path), "");
    EXPECT_EQ(ModeOf(path), 0600u);
}

TEST(PreferenceFile, FileIsUntouchedUnlessSomethingIsWritten)
{
    TemporaryFolder folder;
    const std::string path = folder.file("Velmora.prf");
    const std::string odd = ";x\n\n a=b \n";
    writeFileBytes(path, odd);
    {
        PreferenceFile file;
        ASSERT_TRUE(file.open(path));
        EXPECT_EQ(file.readText("A", ""), "b");
    } // closed by the destructor
    EXPECT_EQ(fileBytes(path), odd);
}

TEST(PreferenceFile, WriteBackReplacesContentsMakesTheFileOwnerOnlyAndLeavesNoTemporaryFile)
{
    TemporaryFolder folder;
    const std::string path = folder.file("Velmora.prf");
    writeFileBytes(path, "A = 1\n");
    ::chmod(path.c_str(), 0644); // made by hand, readable by everyone
    PreferenceFile file;
    ASSERT_TRUE(file.open(path));
    file.writeText("B", "2");
    EXPECT_EQ(file.close(), CloseResult::Written);
    EXPECT_EQ(fileBytes(path), "A = 1\r\nB = 2\r\n");
    EXPECT_EQ(ModeOf(path), 0600u) << "the credentials must not stay readable by others";
    EXPECT_EQ(EntriesIn(folder), 1u);
}

TEST(PreferenceFile, SymbolicLinkStaysAndItsTargetIsWritten)
{
    TemporaryFolder folder;
    const std::string target = folder.file("shared.prf");
    const std::string link = folder.file("Velmora.prf");
    writeFileBytes(target, "A = 1\r\n");
    fs::create_symlink(target, link);
    PreferenceFile file;
    ASSERT_TRUE(file.open(link));
    file.writeText("A", "2");
    EXPECT_EQ(file.close(), CloseResult::Written);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fileBytes(target), "A = 2\r\n");
}

TEST(PreferenceFile, ReadOnlyFileIsReadButNeverChanged)
{
    TemporaryFolder folder;
    test::ExpectInUnprivilegedChild(folder, [&] {
        const std::string path = folder.file("Velmora.prf");
        writeFileBytes(path, "A = 1\n");
        ::chmod(path.c_str(), 0400);
        PreferenceFile file;
        EXPECT_TRUE(file.open(path));
        EXPECT_TRUE(file.isReadOnly());
        EXPECT_EQ(file.readText("a", ""), "1");
        file.writeText("A", "2");
        EXPECT_EQ(file.close(), CloseResult::NotWritable);
        EXPECT_EQ(fileBytes(path), "A = 1\n");
        EXPECT_EQ(EntriesIn(folder), 1u);
    });
}

TEST(PreferenceFile, FolderThatRefusesNewFilesIsWrittenInPlace)
{
    TemporaryFolder folder;
    test::ExpectInUnprivilegedChild(folder, [&] {
        const std::string path = folder.file("Velmora.prf");
        writeFileBytes(path, "A = 1\r\nLong = " + std::string(100, 'x') + "\r\n");
        ::chmod(folder.folder().c_str(), 0500);
        PreferenceFile file;
        ASSERT_TRUE(file.open(path));
        file.writeText("Long", "y");
        file.writeText("B", std::string(200, 'z'));
        EXPECT_EQ(file.close(), CloseResult::Written);
        EXPECT_EQ(fileBytes(path), "A = 1\r\nLong = y\r\nB = " + std::string(200, 'z') + "\r\n");
        EXPECT_EQ(ModeOf(path), 0600u);
    });
}

TEST(PreferenceFile, OnlyRegularFilesOfSensibleSizeAreUsed)
{
    TemporaryFolder folder;
    const std::string directory = folder.file("directory.prf");
    const std::string fifo = folder.file("fifo.prf");
    const std::string huge = folder.file("huge.prf");
    fs::create_directory(directory);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    writeFileBytes(huge, "A = 1\r\n");
    fs::resize_file(huge, StoredFile::kMaximumSize + 1);
    for (const std::string& path : {directory, fifo, huge}) {
        PreferenceFile file;
        EXPECT_FALSE(file.open(path)) << path;
        EXPECT_FALSE(file.create(path)) << path;
        file.writeText("A", "2");
        EXPECT_EQ(file.close(), CloseResult::Unchanged);
    }
    EXPECT_EQ(fs::file_size(huge), StoredFile::kMaximumSize + 1);
}

// Tens of thousands of keys up to the size limit: the last one is still found, and the file is
// written back whole with the change in its place.
TEST(PreferenceFile, FileAtTheSizeLimitIsReadAndWrittenBack)
{
    TemporaryFolder folder;
    const std::string path = folder.file("Velmora.prf");
    const std::string last = "Last = end\r\n";
    const std::size_t room = StoredFile::kMaximumSize - last.size() - 4 - 9; // the change fits
    std::string big;
    for (int k = 0;; ++k) {
        const std::string line = "K" + std::to_string(k) + " = " + std::to_string(k) + "\r\n";
        if (big.size() + line.size() > room)
            break;
        big += line;
    }
    big += last;
    ASSERT_GT(big.size() + 4 + 9 + 32, StoredFile::kMaximumSize);
    writeFileBytes(path, big);
    PreferenceFile file;
    ASSERT_TRUE(file.open(path));
    EXPECT_EQ(file.readText("last", ""), "end");
    file.writeText("K7", "seven");
    file.writeText("New", "1");
    EXPECT_EQ(file.close(), CloseResult::Written);
    const std::string after = fileBytes(path);
    EXPECT_EQ(after.size(), big.size() + 4 + 9);
    EXPECT_EQ(after.substr(after.size() - 21), "Last = end\r\nNew = 1\r\n");
    EXPECT_NE(after.find("\r\nK7 = seven\r\nK8 = 8\r\n"), std::string::npos);
}

// Normalising "a=" lines to "a = " and CR LF doubles their size, beyond what would be read again.
TEST(PreferenceFile, TextTooLargeToReadAgainIsNotWritten)
{
    TemporaryFolder folder;
    const std::string path = folder.file("Velmora.prf");
    std::string lines;
    while (lines.size() <= StoredFile::kMaximumSize * 3 / 5)
        lines += "a=\n";
    writeFileBytes(path, lines);
    PreferenceFile file;
    ASSERT_TRUE(file.open(path));
    file.writeText("B", "1");
    EXPECT_EQ(file.close(), CloseResult::WriteFailed);
    EXPECT_EQ(fs::file_size(path), lines.size());
}

} // namespace
} // namespace velmora

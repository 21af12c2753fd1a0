#pragma once
// The preference file on disk, as the preference engine needs it: open (or create) and read it
// whole, later replace its contents. The POSIX calls stay in posix_stored_file.cpp, so that the
// engine's users never see a file descriptor.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace velmora {

enum class ReplaceResult {
    Replaced,    // the file holds exactly the new contents
    NotWritable, // the file may not be written: left as it was
    Failed,      // writing failed (disk full, I/O error): the file still holds its old contents
};

class StoredFile {
public:
    // A preference file is a few hundred bytes; anything beyond this is not one of ours. It is
    // refused whole, never read in part: a part would lose the rest of the file at the next save.
    // The bound also keeps lookups, which walk the whole file, fast in a hostile one.
    static constexpr std::uint64_t kMaximumSize = 1024 * 1024;

    StoredFile();
    ~StoredFile();
    StoredFile(StoredFile&&) noexcept;
    StoredFile& operator=(StoredFile&&) noexcept;

    // Opens an existing regular file for reading and writing, failing that for reading only, and
    // reads it whole into contents. False (and nothing open) when it is missing, not a regular
    // file, too large or unreadable.
    bool openExisting(const std::string& path, std::string& contents);

    // Opens the file for reading and writing, creating it with mode 0600 when it does not exist.
    // Existing contents are kept until replaceContents: emptying them at once would destroy a
    // file whose old contents nobody has read yet, while the next write-back replaces them anyway.
    bool create(const std::string& path);

    bool isOpen() const;
    bool isReadOnly() const;

    // Replaces the whole contents in one step: the new text goes into a file beside it that then
    // takes the file's place, so a crash or a full disk never leaves a half-written file. The file
    // is owner-only (0600) afterwards whatever its mode was: it holds the FTP credentials. A file opened for reading only is first opened again for writing
    // (creating it if it has gone); when that is refused, nothing is changed.
    ReplaceResult replaceContents(std::string_view contents);

    void close();

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

} // namespace velmora

// The preference file on POSIX systems.

#include "settings/stored_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

// The preference file holds the FTP credentials: nobody but its owner may read it.
constexpr mode_t kOwnerOnly = 0600;

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

// O_NONBLOCK keeps a FIFO or device planted under the file's name from blocking the open; such
// files are then refused because they are not regular files.
constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

UniqueFd openFile(const std::string& path, int flags)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags | kOpenFlags, kOwnerOnly);
    } while (fd < 0 && errno == EINTR);
    return UniqueFd(fd);
}

bool isUsableRegularFile(int fd, struct stat& status)
{
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
           static_cast<std::uint64_t>(status.st_size) <= StoredFile::kMaximumSize;
}

bool readWhole(int fd, std::string& contents)
{
    contents.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        contents.append(buffer, static_cast<std::size_t>(got));
        // The file may have grown since it was measured.
        if (contents.size() > StoredFile::kMaximumSize)
            return false;
    }
}

bool writeAllAt(int fd, std::string_view data, off_t offset)
{
    while (!data.empty()) {
        const ssize_t put = ::pwrite(fd, data.data(), data.size(), offset);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(put));
        offset += put;
    }
    return true;
}

// The file a symbolic link points to is the one to replace: replacing the link itself would cut
// the presenter's link (for example into a folder of shared configuration files).
std::string replacementTarget(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void syncFolder(const std::string& folder)
{
    const UniqueFd fd = openFile(folder, O_RDONLY | O_DIRECTORY);
    if (fd.valid())
        ::fsync(fd.get());
}

// Used only where no file can be made beside the preference file (a folder that does not allow
// it). The space is reserved first so that a full disk fails before anything is overwritten.
ReplaceResult replaceInPlace(int fd, std::string_view contents, off_t oldSize)
{
    const auto newSize = static_cast<off_t>(contents.size());
    if (newSize > oldSize && ::posix_fallocate(fd, 0, newSize) != 0)
        return ReplaceResult::Failed;
    // Owner-only before the credentials go in; a file of another owner cannot be changed, and
    // refusing to save into it would lose the presenter's settings.
    ::fchmod(fd, kOwnerOnly);
    if (!writeAllAt(fd, contents, 0) || ::ftruncate(fd, newSize) != 0 || ::fsync(fd) != 0)
        return ReplaceResult::Failed;
    return ReplaceResult::Replaced;
}

} // namespace

struct StoredFile::Handle {
    UniqueFd fd;
    std::string path;
    bool readOnly = false;
};

StoredFile::StoredFile() = default;
StoredFile::~StoredFile() = default;
StoredFile::StoredFile(StoredFile&&) noexcept = default;
StoredFile& StoredFile::operator=(StoredFile&&) noexcept = default;

bool StoredFile::openExisting(const std::string& path, std::string& contents)
{
    close();
    bool readOnly = false;
    UniqueFd fd = openFile(path, O_RDWR);
    if (!fd.valid()) {
        fd = openFile(path, O_RDONLY);
        readOnly = true;
    }
    struct stat status {};
    if (!fd.valid() || !isUsableRegularFile(fd.get(), status) || !readWhole(fd.get(), contents)) {
        contents.clear();
        return false;
    }
    handle_ = std::make_unique<Handle>(Handle{std::move(fd), path, readOnly});
    return true;
}

bool StoredFile::create(const std::string& path)
{
    close();
    UniqueFd fd = openFile(path, O_RDWR | O_CREAT);
    struct stat status {};
    if (!fd.valid() || !isUsableRegularFile(fd.get(), status))
        return false;
    handle_ = std::make_unique<Handle>(Handle{std::move(fd), path, false});
    return true;
}

bool StoredFile::isOpen() const
{
    return handle_ != nullptr;
}

bool StoredFile::isReadOnly() const
{
    return handle_ && handle_->readOnly;
}

ReplaceResult StoredFile::replaceContents(std::string_view contents)
{
    if (!handle_)
        return ReplaceResult::NotWritable;
    if (handle_->readOnly) {
        UniqueFd fd = openFile(handle_->path, O_WRONLY | O_CREAT);
        struct stat status {};
        if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
            return ReplaceResult::NotWritable;
        handle_->fd = std::move(fd);
        handle_->readOnly = false;
    }
    struct stat status {};
    if (::fstat(handle_->fd.get(), &status) != 0)
        return ReplaceResult::Failed;

    const std::string target = replacementTarget(handle_->path);
    std::string temporaryName = target + ".XXXXXX";
    UniqueFd temporary(::mkostemp(temporaryName.data(), O_CLOEXEC));
    if (!temporary.valid())
        return replaceInPlace(handle_->fd.get(), contents, status.st_size);

    const bool written = writeAllAt(temporary.get(), contents, 0) &&
                         ::fchmod(temporary.get(), kOwnerOnly) == 0 &&
                         ::fsync(temporary.get()) == 0 && ::close(temporary.release()) == 0 &&
                         ::rename(temporaryName.c_str(), target.c_str()) == 0;
    if (!written) {
        ::unlink(temporaryName.c_str());
        return ReplaceResult::Failed;
    }
    syncFolder(folderOf(target));
    return ReplaceResult::Replaced;
}

void StoredFile::close()
{
    handle_.reset();
}

} // namespace velmora

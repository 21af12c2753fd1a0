// The preference file on Windows. Paths are in the ANSI code page, as everywhere the program
// hands a path to the C library.

#include "settings/stored_file.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace velmora {
namespace {

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE release()
    {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE)
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Others may read and even rename or delete the file while it is open, as on POSIX: the
// presenter's editor or backup must not find it locked.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

UniqueHandle openFile(const std::string& path, DWORD access, DWORD disposition,
                      DWORD flags = FILE_ATTRIBUTE_NORMAL)
{
    return UniqueHandle(
        ::CreateFileA(path.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr));
}

// A disk file (not a device or pipe planted under the name) of sensible size.
bool isUsableRegularFile(HANDLE file)
{
    LARGE_INTEGER size{};
    return ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileSizeEx(file, &size) &&
           static_cast<std::uint64_t>(size.QuadPart) <= StoredFile::kMaximumSize;
}

bool readWhole(HANDLE file, std::string& contents)
{
    contents.clear();
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr))
            return false;
        if (got == 0)
            return true;
        contents.append(buffer, got);
        // The file may have grown since it was measured.
        if (contents.size() > StoredFile::kMaximumSize)
            return false;
    }
}

bool writeAllAt(HANDLE file, std::string_view data, std::uint64_t offset)
{
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file, position, nullptr, FILE_BEGIN))
        return false;
    while (!data.empty()) {
        DWORD put = 0;
        const DWORD chunk = data.size() > 65536 ? 65536 : static_cast<DWORD>(data.size());
        if (!::WriteFile(file, data.data(), chunk, &put, nullptr) || put == 0)
            return false;
        data.remove_prefix(put);
    }
    return true;
}

bool setSize(HANDLE file, std::uint64_t size)
{
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(size);
    return ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
}

// The file a symbolic link points to is the one to replace: replacing the link itself would cut
// the presenter's link.
std::string replacementTarget(HANDLE file, const std::string& path)
{
    char resolved[MAX_PATH * 2];
    const DWORD length = ::GetFinalPathNameByHandleA(file, resolved, sizeof resolved,
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof resolved)
        return path;
    return std::string(resolved, length);
}

// A new file beside target that nobody else has opened.
UniqueHandle createTemporaryBeside(const std::string& target, std::string& name)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + "." + std::to_string(::GetCurrentProcessId()) + "-" +
               std::to_string(::GetTickCount() + counter++);
        UniqueHandle file = openFile(name, GENERIC_WRITE, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH);
        if (file.valid() || ::GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return UniqueHandle();
}

// Used only where no file can be made beside the preference file. The space is reserved first so
// that a full disk fails before anything is overwritten.
ReplaceResult replaceInPlace(HANDLE file, std::string_view contents)
{
    LARGE_INTEGER oldSize{};
    if (!::GetFileSizeEx(file, &oldSize))
        return ReplaceResult::Failed;
    if (contents.size() > static_cast<std::uint64_t>(oldSize.QuadPart) &&
        !setSize(file, contents.size()))
        return ReplaceResult::Failed;
    if (!writeAllAt(file, contents, 0) || !setSize(file, contents.size()) ||
        !::FlushFileBuffers(file))
        return ReplaceResult::Failed;
    return ReplaceResult::Replaced;
}

} // namespace

struct StoredFile::Handle {
    UniqueHandle file;
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
    UniqueHandle file = openFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    if (!file.valid()) {
        file = openFile(path, GENERIC_READ, OPEN_EXISTING);
        readOnly = true;
    }
    if (!file.valid() || !isUsableRegularFile(file.get()) || !readWhole(file.get(), contents)) {
        contents.clear();
        return false;
    }
    handle_ = std::make_unique<Handle>(Handle{std::move(file), path, readOnly});
    return true;
}

bool StoredFile::create(const std::string& path)
{
    close();
    // The file lies in the presenter's profile, whose folders only the presenter may read: a new
    // file there inherits that, as 0600 gives it on POSIX.
    UniqueHandle file = openFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    if (!file.valid() || !isUsableRegularFile(file.get()))
        return false;
    handle_ = std::make_unique<Handle>(Handle{std::move(file), path, false});
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
        UniqueHandle file = openFile(handle_->path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
        if (!file.valid() || ::GetFileType(file.get()) != FILE_TYPE_DISK)
            return ReplaceResult::NotWritable;
        handle_->file = std::move(file);
        handle_->readOnly = false;
    }

    const std::string target = replacementTarget(handle_->file.get(), handle_->path);
    std::string temporaryName;
    UniqueHandle temporary = createTemporaryBeside(target, temporaryName);
    if (!temporary.valid())
        return replaceInPlace(handle_->file.get(), contents);

    const bool written = writeAllAt(temporary.get(), contents, 0) &&
                         ::FlushFileBuffers(temporary.get()) && ::CloseHandle(temporary.release());
    // Windows replaces a file only while nobody holds it open without sharing its deletion, so
    // the own handle is given up for the moment of the move and taken again afterwards.
    handle_->file.reset();
    const bool moved = written && ::MoveFileExA(temporaryName.c_str(), target.c_str(),
                                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    handle_->file = openFile(handle_->path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    // Should the file not open again, the next write-back opens it as one opened for reading.
    handle_->readOnly = !handle_->file.valid();
    if (!moved) {
        ::DeleteFileA(temporaryName.c_str());
        return ReplaceResult::Failed;
    }
    return ReplaceResult::Replaced;
}

void StoredFile::close()
{
    handle_.reset();
}

} // namespace velmora

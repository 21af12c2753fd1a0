#include "app/program_folders.h"

#include "settings/utf8_conversion.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace velmora {
namespace {

std::string withSlash(std::string path)
{
    if (!path.empty() && path.back() != '/')
        path.push_back('/');
    return path;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::string workFolderPath()
{
    std::string base = environment("XDG_CONFIG_HOME");
    if (base.empty() || base.front() != '/') {
        const std::string home = environment("HOME");
        base = home.empty() ? std::string() : withSlash(home) + ".config";
    }
    return withSlash(base) + "Velmora/";
}

bool createWorkFolder(const std::string& workFolder)
{
    // The parent (~/.config) may not exist yet on a new account.
    const std::string trimmed = workFolder.substr(0, workFolder.size() - 1);
    const auto slash = trimmed.rfind('/');
    if (slash != std::string::npos && slash > 0)
        ::mkdir(trimmed.substr(0, slash).c_str(), 0700);
    return ::mkdir(trimmed.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string privateTempFolder(std::string& error)
{
    std::string base = environment("TMPDIR");
    if (base.empty())
        base = "/tmp";
    const uid_t uid = ::getuid();
    const std::string folder = withSlash(base) + "velmora-" + std::to_string(uid);

    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create " + folder;
        return {};
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        error = "cannot inspect " + folder;
        return {};
    }
    if (S_ISLNK(info.st_mode) || !S_ISDIR(info.st_mode)) {
        error = folder + " is not a plain folder";
        return {};
    }
    if (info.st_uid != uid) {
        error = folder + " belongs to another user";
        return {};
    }
    if ((info.st_mode & 0777) != 0700 && ::chmod(folder.c_str(), 0700) != 0) {
        error = "cannot make " + folder + " private";
        return {};
    }
    return folder + "/";
}

std::string programFolderPath()
{
    std::string buffer(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0)
        return {};
    buffer.resize(static_cast<size_t>(length));
    const auto slash = buffer.rfind('/');
    return slash == std::string::npos ? std::string() : buffer.substr(0, slash + 1);
}

std::string pathForDisplay(const std::string& path)
{
    return utf8ToSingleByte(path);
}

} // namespace velmora

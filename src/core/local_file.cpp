#include "core/local_file.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace velmora {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

bool writeWholeFile(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

std::optional<std::string> readWholeFile(const std::string& path)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, got);
    // A folder opens on Linux and fails only here.
    if (std::ferror(file.get()))
        return std::nullopt;
    return bytes;
}

std::shared_ptr<const std::string> readSharedFile(const std::string& path)
{
    std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes)
        return nullptr;
    return std::make_shared<const std::string>(std::move(*bytes));
}

} // namespace velmora

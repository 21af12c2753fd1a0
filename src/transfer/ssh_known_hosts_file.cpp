#include "transfer/ssh_known_hosts_file.h"

#include "core/local_file.h"
#include "transfer/ssh_host_key.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace velmora {

SshKnownHostsFile::SshKnownHostsFile(std::string path) : path_(std::move(path))
{
}

std::string SshKnownHostsFile::text() const
{
    return readWholeFile(path_).value_or(std::string());
}

bool SshKnownHostsFile::remember(const std::string& host, const std::string& keyBlob) const
{
    const std::string line = knownHostsLine(host, keyBlob);
    if (path_.empty() || line.empty())
        return false;
    std::string kept;
    std::istringstream lines(text());
    std::string old;
    while (std::getline(lines, old)) {
        if (!lineNamesHostAlone(old, host))
            kept += old + "\n";
    }
    kept += line;
    namespace fs = std::filesystem;
    const std::string temporary = path_ + ".new";
    std::error_code error;
    fs::remove(temporary, error);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write, error);
        if (error)
            return false;
        out << kept;
        out.flush();
        if (!out)
            return false;
    }
    fs::rename(temporary, path_, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace velmora

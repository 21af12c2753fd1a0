#include "transfer/server_key_store.h"

#include "settings/stored_file.h"

#include <sstream>

namespace velmora {
namespace {

// Lines that do not have the form are kept as they are and never match: a hand-edited file
// loses nothing and trusts nothing by accident.
bool splitLine(const std::string& line, std::string& server, std::string& pin)
{
    const auto space = line.find(' ');
    if (space == std::string::npos || space == 0)
        return false;
    server = line.substr(0, space);
    pin = line.substr(space + 1);
    return pin.rfind("sha256//", 0) == 0 && pin.size() > 8 &&
           pin.find_first_of(" \t\r") == std::string::npos;
}

std::string contentsOf(const std::string& path)
{
    std::string contents;
    StoredFile file;
    if (!file.openExisting(path, contents))
        return {};
    return contents;
}

} // namespace

ServerKeyStore::ServerKeyStore(std::string path) : path_(std::move(path))
{
}

std::optional<std::string> ServerKeyStore::find(const std::string& server) const
{
    if (path_.empty())
        return std::nullopt;
    std::istringstream lines(contentsOf(path_));
    std::string server_, pin;
    for (std::string line; std::getline(lines, line);)
        if (splitLine(line, server_, pin) && server_ == server)
            return pin;
    return std::nullopt;
}

bool ServerKeyStore::remember(const std::string& server, const std::string& pin) const
{
    if (path_.empty() || server.find_first_of(" \r\n") != std::string::npos ||
        pin.find_first_of(" \r\n") != std::string::npos)
        return false;
    StoredFile file;
    std::string old;
    if (!file.openExisting(path_, old) && !file.create(path_))
        return false;
    std::ostringstream kept;
    std::istringstream lines(old);
    std::string lineServer, linePin;
    for (std::string line; std::getline(lines, line);)
        if (!(splitLine(line, lineServer, linePin) && lineServer == server))
            kept << line << '\n';
    kept << server << ' ' << pin << '\n';
    return file.replaceContents(kept.str()) == ReplaceResult::Replaced;
}

} // namespace velmora

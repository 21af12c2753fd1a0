#include "transfer/server_key_store.h"

#include "settings/stored_file.h"

#include <sstream>

namespace velmora {
namespace {

constexpr char kCertifiedMark[] = " certified";

bool isPin(const std::string& pin)
{
    return pin.rfind("sha256//", 0) == 0 && pin.size() > 8 &&
           pin.find_first_of(" \t\r\n") == std::string::npos;
}

// Lines that do not have the form are kept as they are and never match: a hand-edited file
// loses nothing and trusts nothing by accident.
bool splitLine(const std::string& line, std::string& server, RememberedKey& key)
{
    const auto space = line.find(' ');
    if (space == std::string::npos || space == 0)
        return false;
    server = line.substr(0, space);
    key.pin = line.substr(space + 1);
    key.voucher = KeyVoucher::Presenter;
    const std::size_t markSize = sizeof kCertifiedMark - 1;
    if (key.pin.size() > markSize &&
        key.pin.compare(key.pin.size() - markSize, markSize, kCertifiedMark) == 0) {
        key.pin.resize(key.pin.size() - markSize);
        key.voucher = KeyVoucher::Certificate;
    }
    return isPin(key.pin);
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

std::optional<RememberedKey> ServerKeyStore::lookUp(const std::string& server) const
{
    if (path_.empty())
        return std::nullopt;
    std::istringstream lines(contentsOf(path_));
    std::string lineServer;
    RememberedKey key;
    for (std::string line; std::getline(lines, line);)
        if (splitLine(line, lineServer, key) && lineServer == server)
            return key;
    return std::nullopt;
}

std::optional<std::string> ServerKeyStore::find(const std::string& server) const
{
    if (const auto key = lookUp(server))
        return key->pin;
    return std::nullopt;
}

bool ServerKeyStore::remember(const std::string& server, const std::string& pin,
                              KeyVoucher voucher) const
{
    if (path_.empty() || server.find_first_of(" \r\n") != std::string::npos || !isPin(pin))
        return false;
    StoredFile file;
    std::string old;
    if (!file.openExisting(path_, old) && !file.create(path_))
        return false;
    std::ostringstream kept;
    std::istringstream lines(old);
    std::string lineServer;
    RememberedKey lineKey;
    for (std::string line; std::getline(lines, line);)
        if (!(splitLine(line, lineServer, lineKey) && lineServer == server))
            kept << line << '\n';
    kept << server << ' ' << pin << (voucher == KeyVoucher::Certificate ? kCertifiedMark : "")
         << '\n';
    return file.replaceContents(kept.str()) == ReplaceResult::Replaced;
}

} // namespace velmora

#pragma once
// The server name as the presenter types it: a host name, optionally followed by ":port".

#include <optional>
#include <string>

namespace velmora {

struct ServerAddress {
    std::string host; // ready for a URL: an IPv6 literal keeps its brackets
    int port = 21;
};

// Empty when the text cannot name a server (empty host, bad port, or characters that would
// change the meaning of the URL built from it, such as "/", "@" or a line break).
std::optional<ServerAddress> parseServerAddress(const std::string& serverName);

} // namespace velmora

#pragma once
// The server name as the presenter types it: a host name, optionally followed by ":port", and
// optionally preceded by a scheme that chooses how the connection is protected.

#include <optional>
#include <string>

namespace velmora {

enum class Transport {
    Ftp,         // "host", "host:port", "ftp://": plain FTP, everything in clear
    ExplicitTls, // "ftpes://": AUTH TLS on port 21, control and data connections protected
    ImplicitTls, // "ftps://": TLS from the first byte, port 990
    Sftp,        // "sftp://": SSH file transfer, port 22
};

struct ServerAddress {
    Transport transport = Transport::Ftp;
    std::string host; // ready for a URL: an IPv6 literal keeps its brackets
    int port = 21;
};

// Empty when the text cannot name a server: empty host, bad port, an unknown scheme, or
// characters that would change the meaning of the URL built from it, such as "/" (a path after
// the scheme), "@" (user info) or a line break.
std::optional<ServerAddress> parseServerAddress(const std::string& serverName);

// The host and port in the form the remembered server keys use: "host:port", the host in lower
// case, since host names are not case-sensitive.
std::string serverKeyName(const ServerAddress& address);

} // namespace velmora

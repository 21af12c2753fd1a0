#include "transfer/server_address.h"

#include <cctype>

namespace velmora {
namespace {

bool isHostCharacter(unsigned char c)
{
    return std::isalnum(c) || c == '.' || c == '-' || c == '_';
}

std::optional<int> parsePort(const std::string& text)
{
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    int port = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

struct Scheme {
    const char* prefix;
    Transport transport;
    int defaultPort;
};

// Schemes are compared without regard to case, as URLs do.
bool startsWithScheme(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

std::optional<ServerAddress> parseServerAddress(const std::string& typed)
{
    static const Scheme schemes[] = {{"ftp://", Transport::Ftp, 21},
                                     {"ftpes://", Transport::ExplicitTls, 21},
                                     {"ftps://", Transport::ImplicitTls, 990},
                                     {"sftp://", Transport::Sftp, 22}};
    ServerAddress address;
    std::string serverName = typed;
    for (const Scheme& scheme : schemes) {
        if (startsWithScheme(typed, scheme.prefix)) {
            address.transport = scheme.transport;
            address.port = scheme.defaultPort;
            serverName = typed.substr(std::string(scheme.prefix).size());
            break;
        }
    }
    std::string portText;
    if (!serverName.empty() && serverName.front() == '[') {
        // "[v6 address]" or "[v6 address]:port"
        const auto close = serverName.find(']');
        if (close == std::string::npos || close < 2)
            return std::nullopt;
        const std::string inside = serverName.substr(1, close - 1);
        for (const unsigned char c : inside)
            if (!std::isxdigit(c) && c != ':' && c != '.')
                return std::nullopt;
        address.host = serverName.substr(0, close + 1);
        const std::string rest = serverName.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return std::nullopt;
            portText = rest.substr(1);
            if (portText.empty())
                return std::nullopt;
        }
    } else {
        const auto colon = serverName.find(':');
        if (colon != std::string::npos && serverName.find(':', colon + 1) != std::string::npos) {
            // A bare IPv6 address: every colon belongs to it, so there is no port.
            for (const unsigned char c : serverName)
                if (!std::isxdigit(c) && c != ':' && c != '.')
                    return std::nullopt;
            address.host = "[" + serverName + "]";
        } else {
            address.host = serverName.substr(0, colon);
            if (colon != std::string::npos) {
                portText = serverName.substr(colon + 1);
                if (portText.empty())
                    return std::nullopt;
            }
            if (address.host.empty())
                return std::nullopt;
            for (const unsigned char c : address.host)
                if (!isHostCharacter(c))
                    return std::nullopt;
        }
    }
    if (!portText.empty()) {
        const auto port = parsePort(portText);
        if (!port)
            return std::nullopt;
        address.port = *port;
    }
    return address;
}

std::string serverKeyName(const ServerAddress& address)
{
    std::string host = address.host;
    for (char& c : host)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return host + ":" + std::to_string(address.port);
}

} // namespace velmora

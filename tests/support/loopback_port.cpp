#include "support/loopback_port.h"

#include <cstdint>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::test {
namespace {

sockaddr_in loopbackAddress(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

// The socket is closed however the caller leaves.
class Socket {
public:
    explicit Socket(int family = AF_INET) : fd_(::socket(family, SOCK_STREAM, 0)) {}
    ~Socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

} // namespace

int freeLocalPort()
{
    const Socket socket;
    sockaddr_in address = loopbackAddress(0);
    socklen_t length = sizeof(address);
    if (socket.fd() < 0 ||
        ::bind(socket.fd(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::getsockname(socket.fd(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

bool acceptsConnections(int port)
{
    const Socket socket;
    sockaddr_in address = loopbackAddress(port);
    return socket.fd() >= 0 &&
           ::connect(socket.fd(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
}

bool greetsWith(int port, const std::string& start, int limitMs)
{
    const Socket socket;
    sockaddr_in address = loopbackAddress(port);
    if (socket.fd() < 0 ||
        ::connect(socket.fd(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
        return false;
    pollfd wanted{socket.fd(), POLLIN, 0};
    if (::poll(&wanted, 1, limitMs) != 1)
        return false;
    char greeting[64];
    const ssize_t got = ::recv(socket.fd(), greeting, sizeof greeting, 0);
    return got >= static_cast<ssize_t>(start.size()) &&
           std::string(greeting, start.size()) == start;
}

bool acceptsIpv6Connections(int port)
{
    const Socket socket(AF_INET6);
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    address.sin6_port = htons(static_cast<std::uint16_t>(port));
    return socket.fd() >= 0 &&
           ::connect(socket.fd(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
}

} // namespace velmora::test

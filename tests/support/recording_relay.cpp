#include "support/recording_relay.h"

#include <stdexcept>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::test {
namespace {

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// One relayed connection: the client's socket and the one to the server.
struct Pair {
    int client = -1;
    int server = -1;
};

void closePair(Pair& pair)
{
    ::close(pair.client);
    ::close(pair.server);
    pair.client = pair.server = -1;
}

bool writeAll(int socket, const char* bytes, ssize_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(socket, bytes, static_cast<std::size_t>(size), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        bytes += n;
        size -= n;
    }
    return true;
}

} // namespace

RecordingRelay::RecordingRelay(int serverPort) : serverPort_(serverPort)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener_ >= 0)
            ::close(listener_);
        throw std::runtime_error("the relay cannot listen");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::jthread([this](std::stop_token stop) { relay(stop); });
}

RecordingRelay::~RecordingRelay()
{
    thread_.request_stop();
    thread_.join();
    ::close(listener_);
}

std::string RecordingRelay::traffic() const
{
    std::lock_guard lock(mutex_);
    return traffic_;
}

void RecordingRelay::relay(std::stop_token stop)
{
    std::vector<Pair> pairs;
    while (!stop.stop_requested()) {
        std::vector<pollfd> ready{{listener_, POLLIN, 0}};
        for (const Pair& pair : pairs) {
            ready.push_back({pair.client, POLLIN, 0});
            ready.push_back({pair.server, POLLIN, 0});
        }
        if (::poll(ready.data(), ready.size(), 50) <= 0)
            continue;
        const std::size_t polled = pairs.size(); // a pair accepted now is polled next time
        if (ready[0].revents & POLLIN) {
            Pair pair;
            pair.client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            pair.server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_in server = loopback(serverPort_);
            if (pair.client >= 0 && pair.server >= 0 &&
                ::connect(pair.server, reinterpret_cast<const sockaddr*>(&server), sizeof server) ==
                    0)
                pairs.push_back(pair);
            else
                closePair(pair);
        }
        for (std::size_t i = 0; i < polled; ++i) {
            for (const bool fromClient : {true, false}) {
                const pollfd& side = ready[1 + 2 * i + (fromClient ? 0 : 1)];
                if (pairs[i].client < 0 || !(side.revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                char buffer[16384];
                const ssize_t n = ::read(side.fd, buffer, sizeof buffer);
                const int to = fromClient ? pairs[i].server : pairs[i].client;
                if (n > 0) {
                    {
                        std::lock_guard lock(mutex_);
                        traffic_.append(buffer, static_cast<std::size_t>(n));
                    }
                    if (writeAll(to, buffer, n))
                        continue;
                }
                closePair(pairs[i]);
            }
        }
        std::erase_if(pairs, [](const Pair& pair) { return pair.client < 0; });
    }
    for (Pair& pair : pairs)
        closePair(pair);
}

} // namespace velmora::test

#pragma once
// A TCP relay on 127.0.0.1 between a client and a server that keeps every byte passing through it
// in either direction: what anyone listening on the wire between them would see.

#include <mutex>
#include <string>
#include <thread>

namespace velmora::test {

class RecordingRelay {
public:
    // Relays every connection made to port() to serverPort on 127.0.0.1.
    explicit RecordingRelay(int serverPort);
    ~RecordingRelay();
    RecordingRelay(const RecordingRelay&) = delete;
    RecordingRelay& operator=(const RecordingRelay&) = delete;

    int port() const { return port_; }
    // Every byte relayed so far, both directions of every connection.
    std::string traffic() const;
    bool carried(const std::string& text) const
    {
        return traffic().find(text) != std::string::npos;
    }

private:
    void relay(std::stop_token stop);

    int serverPort_;
    int listener_ = -1;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::string traffic_;
    std::jthread thread_;
};

} // namespace velmora::test

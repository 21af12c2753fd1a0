#pragma once
// The presenter's web server: serves a folder (the FTP server's root) over HTTP on 127.0.0.1
// on a free port, the way spectators reach the presentation.

#include "support/launched_program.h"
#include "support/loopback_port.h"
#include "support/temporary_folder.h"

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace velmora::test {

class WebServer {
public:
    explicit WebServer(const std::string& root)
    {
        port_ = freeLocalPort();
        process_ = std::make_unique<LaunchedProgram>(
            std::vector<std::string>{"/usr/bin/python3", "-m", "http.server", "--bind", "127.0.0.1",
                                     "--directory", root, std::to_string(port_)},
            std::map<std::string, std::string>{}, output_.path() + "/http.log");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!acceptsConnections(port_)) {
            if (!process_->running() || std::chrono::steady_clock::now() > deadline)
                throw std::runtime_error("the web server did not start");
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    std::string address(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
    }

private:
    TemporaryFolder output_;
    std::unique_ptr<LaunchedProgram> process_;
    int port_ = 0;
};

} // namespace velmora::test

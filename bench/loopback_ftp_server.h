#pragma once
// The repository's FTP server (scripts/ftp_server.py) on 127.0.0.1 with a free port, a fresh root
// folder and a command log that names every completed upload. Stopped when the object goes.

#include "support/launched_program.h" // tests/support

#include <memory>
#include <string>

namespace velmora::bench {

class LoopbackFtpServer {
public:
    // folder: an existing, empty folder that holds the server's root, log and output.
    explicit LoopbackFtpServer(const std::string& folder);

    int port() const { return port_; }
    std::string root() const { return folder_ + "/root"; }
    // One line per command, plus "STORED <path> <bytes>" per completed upload.
    std::string logPath() const { return folder_ + "/commands.log"; }

private:
    std::string folder_;
    std::unique_ptr<test::LaunchedProgram> process_;
    int port_ = 0;
};

} // namespace velmora::bench

#pragma once
// The whole program, started as a presenter would have set it up: a private home, settings,
// temporary and runtime folder, a preference file that names the loopback FTP server and starts
// the presentation at once with no pause between cycles. Ended when the object goes.

#include "support/launched_program.h" // tests/support

#include <memory>
#include <string>

namespace velmora::bench {

class VelmoraProcess {
public:
    // folder: an existing, empty folder for the program's private folders and its output.
    VelmoraProcess(const std::string& program, const std::string& display, int ftpPort,
                   const std::string& folder);
    ~VelmoraProcess();
    VelmoraProcess(const VelmoraProcess&) = delete;
    VelmoraProcess& operator=(const VelmoraProcess&) = delete;

    bool running() { return process_->running(); }
    pid_t pid() const { return process_->pid(); }

    // The remote path of the data page, as the server's log names it.
    static std::string pagePath() { return "bench/Velmora.htm"; }

private:
    std::unique_ptr<test::LaunchedProgram> process_;
};

} // namespace velmora::bench

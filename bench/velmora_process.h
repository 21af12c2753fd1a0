#pragma once
// The whole program, started as a presenter would have set it up: a private home, settings,
// temporary and runtime folder, a preference file that names the loopback FTP server and starts
// the presentation at once with no pause between cycles. Ended when the object goes.

#include "support/launched_program.h" // tests/support
#include "support/wine_prefix.h"      // tests/support

#include <memory>
#include <string>

namespace velmora::bench {

class VelmoraProcess {
public:
    // folder: an existing, empty folder for the program's private folders and its output.
    VelmoraProcess(const std::string& program, const std::string& display, int ftpPort,
                   const std::string& folder);
    // serverName as the presenter types it ("ftpes://127.0.0.1:2121"); trustedKeys, when not
    // empty, is put into the Work folder as the server keys the presenter already trusts;
    // browserRefreshMs is the spectators' refresh interval the presenter chose.
    VelmoraProcess(const std::string& program, const std::string& display,
                   const std::string& serverName, const std::string& folder,
                   const std::string& trustedKeys, int browserRefreshMs = 1000);
    // The Windows program instead, under Wine: installed in wine, whose server runs on the display
    // (WinePrefix::install(), startServer()), with the same preference file in %APPDATA%.
    VelmoraProcess(const test::WinePrefix& wine, const std::string& display, int ftpPort,
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

#include "velmora_process.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <vector>

namespace velmora::bench {
namespace {

namespace fs = std::filesystem;

// The presenter's settings: the server, no pause between cycles, the presentation starting with
// the program.
void writePreferences(const std::string& preferences, const std::string& serverName,
                      int browserRefreshMs)
{
    fs::create_directories(fs::path(preferences).parent_path());
    {
        std::ofstream prf(preferences, std::ios::binary | std::ios::trunc);
        const std::vector<std::string> lines = {"SettingVersion=2",
                                                "FTPServerName=" + serverName,
                                                "FTPWebDir=",
                                                "FTPSubDir=bench/",
                                                "PauseSeconds=0",
                                                "RemoteMousePointer=1",
                                                "Force256=0",
                                                "ForceDownscale=0",
                                                "AutostartPresentation=1",
                                                "ScreenRegion=",
                                                "BrowserRefresh=" +
                                                    std::to_string(browserRefreshMs),
                                                "InternetRetryTime=30"};
        for (const auto& line : lines)
            prf << line << "\r\n";
    }
    fs::permissions(preferences, fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::replace);
}

} // namespace

VelmoraProcess::VelmoraProcess(const std::string& program, const std::string& display, int ftpPort,
                               const std::string& folder)
    : VelmoraProcess(program, display, "127.0.0.1:" + std::to_string(ftpPort), folder, "")
{
}

VelmoraProcess::VelmoraProcess(const std::string& program, const std::string& display,
                               const std::string& serverName, const std::string& folder,
                               const std::string& trustedKeys, int browserRefreshMs)
{
    const std::string home = folder + "/home", config = folder + "/config", temp = folder + "/tmp",
                      runtime = folder + "/runtime";
    for (const auto& dir : {home, config + "/Velmora", temp, runtime})
        fs::create_directories(dir);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);

    writePreferences(config + "/Velmora/Velmora.prf", serverName, browserRefreshMs);
    if (!trustedKeys.empty()) {
        const std::string keys = config + "/Velmora/Velmora.keys";
        std::ofstream(keys, std::ios::binary) << trustedKeys;
        fs::permissions(keys, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::replace);
    }

    process_ = std::make_unique<test::LaunchedProgram>(
        std::vector<std::string>{program},
        std::map<std::string, std::string>{{"DISPLAY", display},
                                           {"HOME", home},
                                           {"XDG_CONFIG_HOME", config},
                                           {"TMPDIR", temp},
                                           {"XDG_RUNTIME_DIR", runtime},
                                           {"QT_QPA_PLATFORM", ""},
                                           {"WAYLAND_DISPLAY", ""}},
        folder + "/velmora.out");
}

VelmoraProcess::VelmoraProcess(const test::WinePrefix& wine, const std::string& display,
                               int ftpPort, const std::string& folder)
{
    writePreferences(wine.appDataFolder() + "Velmora/Velmora.prf",
                     "127.0.0.1:" + std::to_string(ftpPort), 1000);
    process_ =
        std::make_unique<test::LaunchedProgram>(wine.command({test::WinePrefix::kProgram}),
                                                wine.environment(display), folder + "/velmora.out");
}

VelmoraProcess::~VelmoraProcess()
{
    process_->kill(SIGTERM);
    process_->waitFor(std::chrono::seconds(5)); // then the launcher's SIGKILL, if need be
}

} // namespace velmora::bench

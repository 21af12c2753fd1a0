#include "support/wine_desktop_session.h"

#include <filesystem>
#include <thread>

namespace velmora::test {

namespace fs = std::filesystem;

WineDesktopSession::WineDesktopSession(WinePrefix& prefix) : prefix_(prefix)
{
    prefix_.startServer(displayName());
    prefix_.deleteRegistryKey(kProgramKey);
    fs::remove_all(prefix_.appDataFolder() + "Velmora");
    fs::remove_all(tempFolder());
    prefix_.install(displayName());
}

WineDesktopSession::~WineDesktopSession()
{
    prefix_.stopServer();
}

std::string WineDesktopSession::preferenceFile() const
{
    return prefix_.appDataFolder() + "Velmora/Velmora.prf";
}

std::string WineDesktopSession::tempFolder() const
{
    return prefix_.accountTempFolder() + "Velmora/";
}

std::unique_ptr<LaunchedProgram>
WineDesktopSession::startProgram(const std::string& logName,
                                 const std::map<std::string, std::string>& extraEnvironment)
{
    auto environment = prefix_.environment(displayName());
    // Wine's own complaints go to the program's log, which a failing scenario shows.
    environment["WINEDEBUG"] = "fixme-all";
    for (const auto& [name, value] : extraEnvironment)
        environment[name] = value;
    return std::make_unique<LaunchedProgram>(prefix_.command({WinePrefix::kProgram}), environment,
                                             folder() + "/" + logName);
}

void WineDesktopSession::pressKeyIn(const WindowInfo& box, const std::string& key)
{
    xdotool("windowfocus " + box.id);
    // Wine takes the focus over from the X server a moment later.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    pressKey(key);
}

std::string WineDesktopSession::probeProgram(const WinePrefix& prefix)
{
    const std::string probe = prefix.windowsBuildFolder() + "/tests/e2e/velmora_scenario_probe.exe";
    return fs::exists(probe) ? probe : std::string();
}

std::string WineDesktopSession::boxTexts(const std::string& caption) const
{
    return prefix_.run({probeProgram(prefix_), "box", caption}, displayName());
}

std::string WineDesktopSession::clipboardText() const
{
    return prefix_.run({probeProgram(prefix_), "clipboard"}, displayName());
}

bool WineDesktopSession::causeFaultInProgram() const
{
    int code = -1;
    prefix_.run({probeProgram(prefix_), "fault", "velmora.exe"}, displayName(), &code);
    return code == 0;
}

} // namespace velmora::test

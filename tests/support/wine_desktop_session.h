#pragma once
// A desktop session whose program is the Windows build, installed in the scenarios' Wine prefix
// (wine_prefix.h) and started with wine on the session's private display. The program's files are
// where Windows keeps them: the preference file in %APPDATA%\Velmora\, the working files in the
// account's temporary folder, the window position in the registry. Each session starts from a
// presenter who never ran the program: none of these exist yet.

#include "support/desktop_session.h"
#include "support/wine_prefix.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::test {

class WineDesktopSession : public DesktopSession {
public:
    // The registry key of the program's window position and folder.
    static constexpr const char* kProgramKey = "Software\\Corvantis\\Velmora";

    // prefix: scenarioPrefix(), which a scenario checks for first.
    explicit WineDesktopSession(WinePrefix& prefix);
    // Every program left in the prefix ends with the session.
    ~WineDesktopSession() override;

    std::string preferenceFile() const override;
    std::string tempFolder() const override;
    std::unique_ptr<LaunchedProgram>
    startProgram(const std::string& logName = "velmora.log",
                 const std::map<std::string, std::string>& extraEnvironment = {}) override;
    // Wine reads keys only once its window has the X input focus, which nothing gives it without
    // a window manager: the box is focused first.
    void pressKeyIn(const WindowInfo& box, const std::string& key) override;
    // Wine starts its own services (the desktop, the device manager) beside the first program of
    // a server, which on a busy two-core machine has been seen to take over 15 s.
    std::chrono::milliseconds startLimit() const override { return std::chrono::seconds(45); }

    WinePrefix& prefix() { return prefix_; }
    std::optional<std::string> registryValue(const std::string& name) const
    {
        return prefix_.registryValue(kProgramKey, name);
    }

    // The scenario probe of the Windows build's tests (tests/e2e/win32_scenario_probe.cpp), or
    // empty when that build has no tests.
    static std::string probeProgram(const WinePrefix& prefix);
    // Through the probe: the texts of the open boxes with this caption, one line or more each;
    // empty when none is open.
    std::string boxTexts(const std::string& caption) const;
    std::string clipboardText() const;
    // A real fault inside the running velmora.exe; false when it could not be caused.
    bool causeFaultInProgram() const;

private:
    WinePrefix& prefix_;
};

} // namespace velmora::test

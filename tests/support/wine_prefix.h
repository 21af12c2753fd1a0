#pragma once
// The Windows build of the program under Wine, for the black-box scenarios: where that build is
// (VELMORA_WINDOWS_BUILD), one Wine prefix for the scenarios beside it, made on first use with
// Wine's crash dialog switched off, the program installed into it, and a persistent wineserver
// while a scenario runs. The scenarios of all test programs share the prefix, one at a time
// (their CTest resource lock): the program's named mutex lives in the prefix's server.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::test {

class WinePrefix {
public:
    // The Windows build folder with velmora.exe in it, from VELMORA_WINDOWS_BUILD; empty when
    // there is none, and then why in reason.
    static std::string windowsBuild(std::string& reason);

    // The prefix of the scenarios in windowsBuild; makes it when it is not there yet.
    explicit WinePrefix(std::string windowsBuild);

    const std::string& windowsBuildFolder() const { return build_; }
    const std::string& path() const { return path_; }
    // What wine needs to run programs quietly in this prefix, on the display (":N").
    std::map<std::string, std::string> environment(const std::string& display) const;
    // The command that runs a Windows program ("C:\...\x.exe" or a path of this machine) in the
    // prefix.
    std::vector<std::string> command(const std::vector<std::string>& windowsCommand) const;
    // Runs a Windows program to its end; what it wrote to its standard output, and its exit code.
    std::string run(const std::vector<std::string>& windowsCommand, const std::string& display,
                    int* exitCode = nullptr) const;

    // The installed program, its folder as the program sees it and as this machine does.
    static constexpr const char* kProgramFolder = "C:\\Velmora\\";
    static constexpr const char* kProgram = "C:\\Velmora\\velmora.exe";
    std::string programFolder() const { return path_ + "/drive_c/Velmora/"; }
    // Installs the Windows build's program: with its installer where the build made one, else
    // velmora.exe, IMAGE.DLL and the CA list copied into the program folder. Once per test
    // program, and again after uninstall().
    void install(const std::string& display);
    bool installedByInstaller() const;
    // Runs the installation's uninstaller; true once it removed the program folder.
    bool uninstall(const std::string& display);
    // The account's %APPDATA% and temporary folder as paths of this machine, ending in "/".
    std::string appDataFolder() const;
    std::string accountTempFolder() const;

    // Ends every program left in the prefix and starts a persistent wineserver whose desktop is
    // the display (":N"): Wine's first program there starts the desktop's process, which serves
    // every window after it. stopServer() ends them all again, and the server writes the registry
    // to the prefix.
    void startServer(const std::string& display);
    void stopServer();

    // A value below HKEY_CURRENT_USER as "wine reg query" shows it ("0xc8" for a DWORD, the text
    // for a string); nothing when there is no such value.
    std::optional<std::string> registryValue(const std::string& key, const std::string& name) const;
    void deleteRegistryKey(const std::string& key) const;
    void setRegistryNumber(const std::string& key, const std::string& name, long value) const;

private:
    // A folder that Wine names in an environment variable ("APPDATA"), as a path of this
    // machine ending in "/"; asked once.
    std::string folderNamed(const std::string& variable) const;

    std::string build_;
    std::string path_;
    bool installed_ = false;
    mutable std::map<std::string, std::string> folders_;
};

// The scenarios' prefix of this test program, made on first use; nothing without a Windows build.
WinePrefix* scenarioPrefix();

} // namespace velmora::test

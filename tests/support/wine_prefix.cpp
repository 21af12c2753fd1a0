#include "support/wine_prefix.h"

#include "support/file_bytes.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string shellLine(const std::map<std::string, std::string>& environment,
                      const std::vector<std::string>& command)
{
    std::string line;
    for (const auto& [name, value] : environment)
        line += name + "=" + shellQuoted(value) + " ";
    for (const auto& word : command)
        line += shellQuoted(word) + " ";
    return line;
}

// What a shell command printed, and its exit code.
std::string shellOutput(const std::string& line, int* exitCode)
{
    struct Closer {
        void operator()(FILE* pipe) const { pclose(pipe); }
    };
    FILE* pipe = popen(line.c_str(), "r");
    if (pipe == nullptr)
        throw std::runtime_error("cannot run: " + line);
    std::string output;
    std::array<char, 4096> buffer;
    for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        output.append(buffer.data(), got);
    const int status = pclose(pipe);
    if (exitCode != nullptr)
        *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

void mustRun(const std::string& line)
{
    if (std::system(line.c_str()) != 0)
        throw std::runtime_error("failed: " + line);
}

} // namespace

std::string WinePrefix::windowsBuild(std::string& reason)
{
    const char* named = std::getenv("VELMORA_WINDOWS_BUILD");
    if (named == nullptr || *named == '\0') {
        reason = "no Windows build: VELMORA_WINDOWS_BUILD names none (scripts/build-windows.sh "
                 "makes one; scripts/test.sh runs these scenarios after it)";
        return {};
    }
    const fs::path build = fs::absolute(named);
    if (!fs::exists(build / "velmora.exe")) {
        reason = "no velmora.exe in the Windows build " + build.string();
        return {};
    }
    if (std::system("command -v wine >/dev/null 2>&1") != 0) {
        reason = "Wine is not installed";
        return {};
    }
    return build.string();
}

WinePrefix::WinePrefix(std::string windowsBuild)
    : build_(std::move(windowsBuild)), path_(build_ + "/wine-scenarios-prefix")
{
    // The same preparation as the Windows unit tests' prefix: crash dialog off, no JIT debugger.
    mustRun(shellQuoted(WINE_RUN_SCRIPT) + " " + shellQuoted(path_) + " --prepare");
}

std::map<std::string, std::string> WinePrefix::environment(const std::string& display) const
{
    return {{"WINEPREFIX", path_},
            {"WINEDEBUG", "-all"},
            {"WINEDLLOVERRIDES", "mscoree,mshtml="},
            {"DISPLAY", display}};
}

std::vector<std::string> WinePrefix::command(const std::vector<std::string>& windowsCommand) const
{
    std::vector<std::string> words{"wine"};
    words.insert(words.end(), windowsCommand.begin(), windowsCommand.end());
    return words;
}

std::string WinePrefix::run(const std::vector<std::string>& windowsCommand,
                            const std::string& display, int* exitCode) const
{
    return shellOutput(shellLine(environment(display), command(windowsCommand)) +
                           "2>/dev/null </dev/null",
                       exitCode);
}

void WinePrefix::install(const std::string& display)
{
    if (installed_)
        return;
    // Nothing of an earlier installation may stand in for this one.
    fs::remove_all(programFolder());
    std::string installer;
    for (const auto& entry : fs::directory_iterator(build_)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("Velmora-", 0) == 0 && name.size() > 10 &&
            name.compare(name.size() - 10, 10, "-win64.exe") == 0)
            installer = entry.path().string();
    }
    if (!installer.empty()) {
        // A silent installation into the program folder; NSIS wants /D last and unquoted.
        int code = -1;
        run({installer, "/S", std::string("/D=") + kProgramFolder}, display, &code);
        if (code != 0 || !fs::exists(programFolder() + "velmora.exe"))
            throw std::runtime_error("the installer " + installer + " failed: exit code " +
                                     std::to_string(code));
    } else {
        // A build without its installer: the program folder by hand.
        const std::string libraries = fileBytes(build_ + "/.libraries");
        fs::create_directories(programFolder());
        for (const std::string& file :
             {build_ + "/velmora.exe", build_ + "/cacert.pem",
              libraries.substr(0, libraries.find('\n')) + "/bin/IMAGE.DLL"})
            if (fs::exists(file))
                fs::copy_file(file, programFolder() + fs::path(file).filename().string(),
                              fs::copy_options::overwrite_existing);
    }
    installed_ = true;
}

bool WinePrefix::installedByInstaller() const
{
    return installed_ && fs::exists(programFolder() + "Uninstall.exe");
}

bool WinePrefix::uninstall(const std::string& display)
{
    int code = -1;
    run({std::string(kProgramFolder) + "Uninstall.exe", "/S"}, display, &code);
    // The uninstaller hands its work to a copy of itself outside the folder and ends at once.
    for (int i = 0; i < 300 && fs::exists(programFolder()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    installed_ = false;
    return code == 0 && !fs::exists(programFolder());
}

std::string WinePrefix::folderNamed(const std::string& variable) const
{
    if (const auto known = folders_.find(variable); known != folders_.end())
        return known->second;
    std::string named = run({"cmd", "/c", "echo", "%" + variable + "%"}, "");
    while (!named.empty() && (named.back() == '\n' || named.back() == '\r'))
        named.pop_back();
    // "C:\users\<account>\..." below the prefix's drive C.
    if (named.size() < 3 || (named.compare(0, 3, "C:\\") != 0 && named.compare(0, 3, "c:\\") != 0))
        throw std::runtime_error("Wine names no folder " + variable + ": " + named);
    std::string path = path_ + "/drive_c/";
    for (const char c : named.substr(3))
        path += c == '\\' ? '/' : c;
    return folders_[variable] = path + "/";
}

std::string WinePrefix::appDataFolder() const
{
    return folderNamed("APPDATA");
}

std::string WinePrefix::accountTempFolder() const
{
    return folderNamed("TEMP");
}

void WinePrefix::startServer(const std::string& display)
{
    const std::string env = "WINEPREFIX=" + shellQuoted(path_) + " ";
    std::system((env + "wineserver -k >/dev/null 2>&1; " + env + "wineserver -w").c_str());
    // Ten minutes after its last program at most, should the test program die.
    mustRun(env + "wineserver -p600");
    // Wine's own services start with the first program; started here, they do not count against
    // the first wait of a scenario.
    run({"cmd", "/c", "exit"}, display);
}

void WinePrefix::stopServer()
{
    const std::string env = "WINEPREFIX=" + shellQuoted(path_) + " ";
    std::system((env + "wineserver -k >/dev/null 2>&1; " + env + "wineserver -w").c_str());
}

std::optional<std::string> WinePrefix::registryValue(const std::string& key,
                                                     const std::string& name) const
{
    int code = -1;
    const std::string output = run({"reg", "query", "HKCU\\" + key, "/v", name}, "", &code);
    if (code != 0)
        return std::nullopt;
    // "    PosX    REG_DWORD    0xc8"
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        std::string valueName, type;
        if (!(words >> valueName >> type) || valueName != name || type.rfind("REG_", 0) != 0)
            continue;
        std::string value;
        std::getline(words >> std::ws, value);
        return value;
    }
    return std::nullopt;
}

void WinePrefix::deleteRegistryKey(const std::string& key) const
{
    run({"reg", "delete", "HKCU\\" + key, "/f"}, "");
}

void WinePrefix::setRegistryNumber(const std::string& key, const std::string& name,
                                   long value) const
{
    int code = -1;
    run({"reg", "add", "HKCU\\" + key, "/v", name, "/t", "REG_DWORD", "/d", std::to_string(value),
         "/f"},
        "", &code);
    if (code != 0)
        throw std::runtime_error("reg add " + key + " " + name + " failed");
}

WinePrefix* scenarioPrefix()
{
    static const std::unique_ptr<WinePrefix> prefix = []() -> std::unique_ptr<WinePrefix> {
        std::string reason;
        const std::string build = WinePrefix::windowsBuild(reason);
        return build.empty() ? nullptr : std::make_unique<WinePrefix>(build);
    }();
    return prefix.get();
}

} // namespace velmora::test

#include "support/desktop_session.h"

#include "support/file_bytes.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace velmora::test {
namespace {

int shellValue(const std::string& text, const std::string& name)
{
    const auto at = text.find(name + "=");
    return at == std::string::npos ? -1 : std::stoi(text.substr(at + name.size() + 1));
}

// One argument for the shell, whatever it holds.
std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool isMainWindow(const WindowInfo& window)
{
    return window.width == 158 && window.height == 78;
}

} // namespace

DesktopSession::DesktopSession()
{
    for (const auto& dir : {home(), configHome(), tempRoot(), folder_.path() + "/runtime"})
        std::filesystem::create_directories(dir);
    std::filesystem::permissions(folder_.path() + "/runtime", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
}

std::string DesktopSession::tempFolder() const
{
    return tempRoot() + "/velmora-" + std::to_string(::getuid()) + "/";
}

void DesktopSession::writePreferences(const std::vector<std::string>& lines)
{
    const std::filesystem::path file = preferenceFile();
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const auto& line : lines)
        out << line << "\r\n";
    out.close();
    std::filesystem::permissions(
        file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
        std::filesystem::perm_options::replace);
}

std::unique_ptr<LaunchedProgram>
DesktopSession::startProgram(const std::string& logName,
                             const std::map<std::string, std::string>& extraEnvironment)
{
    std::map<std::string, std::string> environment{{"DISPLAY", display_.name()},
                                                   {"HOME", home()},
                                                   {"XDG_CONFIG_HOME", configHome()},
                                                   {"TMPDIR", tempRoot()},
                                                   {"XDG_RUNTIME_DIR", folder_.path() + "/runtime"},
                                                   {"QT_QPA_PLATFORM", ""},
                                                   {"WAYLAND_DISPLAY", ""},
                                                   {"XDG_SESSION_TYPE", ""}};
    for (const auto& [name, value] : extraEnvironment)
        environment[name] = value;
    return std::make_unique<LaunchedProgram>(std::vector<std::string>{VELMORA_BINARY}, environment,
                                             folder_.path() + "/" + logName);
}

std::string DesktopSession::xdotool(const std::string& arguments)
{
    return commandOutput("DISPLAY=" + display_.name() + " xdotool " + arguments + " 2>/dev/null");
}

std::string DesktopSession::describeWindows()
{
    std::string text = "windows on " + display_.name() + ":";
    std::istringstream ids(xdotool("search --onlyvisible --name ."));
    for (std::string id; ids >> id;) {
        std::string name = xdotool("getwindowname " + id);
        if (!name.empty() && name.back() == '\n')
            name.pop_back();
        const std::string shell = xdotool("getwindowgeometry --shell " + id);
        text += "\n  \"" + name + "\" at " + std::to_string(shellValue(shell, "X")) + "," +
                std::to_string(shellValue(shell, "Y")) + " size " +
                std::to_string(shellValue(shell, "WIDTH")) + "x" +
                std::to_string(shellValue(shell, "HEIGHT"));
    }
    return text;
}

std::vector<WindowInfo> DesktopSession::windows(const std::string& title)
{
    std::vector<WindowInfo> found;
    std::istringstream ids(xdotool("search --onlyvisible --name '^" + title + "$'"));
    std::string id;
    while (ids >> id) {
        const std::string shell = xdotool("getwindowgeometry --shell " + id);
        WindowInfo info{id, shellValue(shell, "X"), shellValue(shell, "Y"),
                        shellValue(shell, "WIDTH"), shellValue(shell, "HEIGHT")};
        if (info.width > 1 && info.height > 1)
            found.push_back(info);
    }
    return found;
}

std::optional<WindowInfo> DesktopSession::waitForMainWindow(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    do {
        for (const auto& window : windows("Velmora"))
            if (isMainWindow(window))
                return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

bool DesktopSession::waitForWindow(const std::string& title, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    do {
        if (!windows(title).empty())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

std::unique_ptr<LaunchedProgram> DesktopSession::showTestWindow(const TestWindow& window)
{
    if (window.title.empty())
        throw std::invalid_argument("a test window without a title cannot be waited for");
    auto process = std::make_unique<LaunchedProgram>(
        testWindowCommand(window), std::map<std::string, std::string>{{"DISPLAY", displayName()}});
    if (!waitForWindow(window.title, std::chrono::seconds(10)))
        throw std::runtime_error("the test window \"" + window.title + "\" did not show");
    return process;
}

std::vector<WindowInfo> DesktopSession::messageBoxes(const std::string& title)
{
    std::vector<WindowInfo> boxes;
    for (const auto& window : windows(title))
        if (!isMainWindow(window))
            boxes.push_back(window);
    return boxes;
}

std::optional<WindowInfo> DesktopSession::waitForMessageBox(const std::string& title,
                                                            std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    do {
        const auto boxes = messageBoxes(title);
        if (!boxes.empty())
            return boxes.front();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

void DesktopSession::closeMessageBoxes(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // A box may still be on its way: look twice with a pause before calling the screen clear.
    int quietLooks = 0;
    while (quietLooks < 2 && std::chrono::steady_clock::now() < deadline) {
        std::optional<WindowInfo> shown;
        for (const std::string title : {"Velmora", "Information", "Fehler"})
            for (const auto& box : messageBoxes(title))
                shown = box;
        if (shown) {
            quietLooks = 0;
            pressKeyIn(*shown, "Return");
        } else {
            ++quietLooks;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
}

void DesktopSession::pressKey(const std::string& key)
{
    xdotool("key " + key);
}

void DesktopSession::pressKeyIn(const WindowInfo&, const std::string& key)
{
    pressKey(key);
}

void DesktopSession::click(const WindowInfo& window, int x, int y)
{
    const int screenX = window.x + x;
    const int screenY = window.y + y;
    // "mousemove --sync" waits for a motion event that never comes when the pointer is already
    // there, and gives up only after many seconds: a second click on the same button would hang.
    const std::string where = xdotool("getmouselocation --shell");
    if (shellValue(where, "X") == screenX && shellValue(where, "Y") == screenY)
        xdotool("click 1");
    else
        xdotool("mousemove --sync " + std::to_string(screenX) + " " + std::to_string(screenY) +
                " click 1");
}

void DesktopSession::typeInto(const WindowInfo& window, int x, int y, const std::string& text)
{
    click(window, x, y);
    xdotool("key ctrl+a BackSpace");
    if (!text.empty())
        xdotool("type --delay 15 " + shellQuoted(text));
}

std::optional<WindowInfo> DesktopSession::openSettingsWindow(const WindowInfo& main,
                                                             std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    do {
        click(main, kExtrasX, kMenuBarY);
        // The menu opens below its title; give it a moment to be drawn before choosing.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        click(main, kExtrasX + 10, kFirstMenuEntryY);
        if (waitForWindow("Einstellungen", std::chrono::seconds(3)))
            return windows("Einstellungen").front();
        // A menu left open would swallow the next click: close it before trying again.
        pressKey("Escape");
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

std::string DesktopSession::log(const std::string& logName) const
{
    return fileBytes(folder_.path() + "/" + logName);
}

} // namespace velmora::test

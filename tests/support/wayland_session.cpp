#include "support/wayland_session.h"

#include "support/file_bytes.h"
#include "support/test_window.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace velmora::test {
namespace {

// Only the buses' own policy: no service folders, so nothing starts on demand and everything
// that runs was started here, inside the process group.
constexpr char kBusConfig[] = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

constexpr std::chrono::seconds kStartLimit{40};

std::map<std::string, std::string> environmentFrom(const std::string& text)
{
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        if (equals != std::string::npos && equals + 1 < line.size())
            values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

} // namespace

std::string WaylandSession::cannotRunHere()
{
    if (::geteuid() != 0)
        return "the Wayland desktop for tests starts sway as another user, which needs root";
    return {};
}

WaylandSession::WaylandSession(int width, int height)
{
    if (const std::string why = cannotRunHere(); !why.empty())
        throw std::runtime_error(why);
    // sway, running as user 65534, has to reach its folder below this one.
    ::chmod(folder_.path().c_str(), 0711);
    const std::string config = folder_.file("bus.conf");
    writeFileBytes(config, kBusConfig);

    LaunchSetup setup;
    setup.ownProcessGroup = true;
    // The parts take what they need from the script; nothing of the caller's desktop leaks in.
    stack_ = std::make_unique<LaunchedProgram>(
        std::vector<std::string>{"dbus-run-session", "--config-file=" + config, "--", "sh",
                                 WAYLAND_SESSION_SCRIPT, folder_.path(), DMABUF_OFFER_SHIM,
                                 std::to_string(width), std::to_string(height)},
        std::map<std::string, std::string>{{"DISPLAY", ""},
                                           {"WAYLAND_DISPLAY", ""},
                                           {"DBUS_SESSION_BUS_ADDRESS", ""},
                                           {"XDG_RUNTIME_DIR", ""},
                                           {"SWAYSOCK", ""}},
        folder_.file("stack.log"), setup);

    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    namespace fs = std::filesystem;
    std::string failure;
    while (true) {
        if (fs::exists(folder_.file("ready"))) {
            environment_ = environmentFrom(fileBytes(folder_.file("ready")));
            return;
        }
        if (fs::exists(folder_.file("failed"))) {
            failure = fileBytes(folder_.file("failed"));
            break;
        }
        if (!stack_->running()) {
            failure = "the private session bus ended early (see stack.log)";
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            failure = "the Wayland desktop did not come up in time";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // The logs say why; the test's failure message is where they are read.
    std::string logs;
    for (const char* part : {"stack", "sway", "pipewire", "portal-wlr", "portal"})
        logs += std::string("\n--- ") + part + ".log\n" + log(part);
    stack_.reset();
    throw std::runtime_error("Wayland desktop: " + failure + logs);
}

WaylandSession::~WaylandSession() = default;

void WaylandSession::enterThisProcess() const
{
    for (const auto& [name, value] : environment_)
        ::setenv(name.c_str(), value.c_str(), 1);
}

std::string WaylandSession::log(const std::string& part) const
{
    return fileBytes(folder_.file(part + ".log"));
}

void WaylandSession::endScreenSharing() const
{
    const std::string pid = fileBytes(folder_.file("portal-wlr.pid"));
    if (!pid.empty() && std::stoi(pid) > 1)
        ::kill(std::stoi(pid), SIGTERM);
}

std::unique_ptr<LaunchedProgram> WaylandSession::showColourWindow(int x, int y, int width,
                                                                  int height,
                                                                  const std::string& rrggbb) const
{
    std::map<std::string, std::string> env = environment_;
    // An X11 client: only Xwayland places windows where they are told.
    env["WAYLAND_DISPLAY"] = "";
    TestWindow window;
    window.area = {x, y, width, height};
    window.colour = rrggbb;
    window.repaintEveryMs = 100;
    return std::make_unique<LaunchedProgram>(testWindowCommand(window), env);
}

} // namespace velmora::test

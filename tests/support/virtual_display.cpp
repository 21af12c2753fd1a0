#include "support/virtual_display.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace velmora::test {
namespace {

pid_t lockOwner(const std::string& lockFile)
{
    std::ifstream in(lockFile);
    long pid = -1;
    in >> pid;
    return in ? static_cast<pid_t>(pid) : -1;
}

} // namespace

VirtualDisplay::VirtualDisplay(int width, int height)
{
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    // Spread the numbers by process so parallel tests do not race for the same display.
    const int first = 100 + static_cast<int>(::getpid() % 800);
    for (int attempt = 0; attempt < 40; ++attempt) {
        const int number = first + attempt * 7;
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        if (std::filesystem::exists(socket) || std::filesystem::exists(lock))
            continue;
        auto server = std::make_unique<LaunchedProgram>(
            std::vector<std::string>{"Xvfb", ":" + std::to_string(number), "-screen", "0", screen,
                                     "-nolisten", "tcp"},
            std::map<std::string, std::string>{});
        for (int wait = 0; wait < 100 && server->running(); ++wait) {
            // Another test may have raced us to the same number: the display is ours only when
            // its lock file names our server.
            if (std::filesystem::exists(socket) && lockOwner(lock) == server->pid()) {
                name_ = ":" + std::to_string(number);
                server_ = std::move(server);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    throw std::runtime_error("no virtual display could be started");
}

} // namespace velmora::test

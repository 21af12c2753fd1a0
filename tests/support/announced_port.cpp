#include "support/announced_port.h"

#include "support/file_bytes.h"

#include <chrono>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace velmora::test {

int waitForAnnouncedPort(LaunchedProgram& process, const std::string& outputFile)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        std::istringstream in(fileBytes(outputFile));
        for (std::string line; std::getline(in, line);)
            if (line.rfind("PORT ", 0) == 0)
                return std::stoi(line.substr(5));
        if (!process.running())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    throw std::runtime_error("helper server did not start: " + fileBytes(outputFile));
}

} // namespace velmora::test

#include "loopback_ftp_server.h"

#include "support/ftp_server_fixture.h" // tests/support: repositoryFolder, waitForAnnouncedPort

#include <filesystem>

namespace velmora::bench {

LoopbackFtpServer::LoopbackFtpServer(const std::string& folder) : folder_(folder)
{
    std::filesystem::create_directories(root());
    const std::string output = folder_ + "/server.out";
    process_ = std::make_unique<test::LaunchedProgram>(
        std::vector<std::string>{"/usr/bin/python3",
                                 test::repositoryFolder() + "/scripts/ftp_server.py", "--port", "0",
                                 "--root", root(), "--log", logPath()},
        std::map<std::string, std::string>{}, output);
    port_ = test::waitForAnnouncedPort(*process_, output);
}

} // namespace velmora::bench

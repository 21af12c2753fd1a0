#include "side_by_side.h"

#include "run_command.h"

#include <cstdio>
#include <filesystem>

namespace velmora::bench {

int sideBySideCheck(bool optionsRead, const char* self, const char* usage,
                    const std::string& program)
{
    if (!optionsRead) {
        std::fprintf(stderr, "usage: %s %s\n", self, usage);
        return 2;
    }
    if (!commandsPresent({program, "Xvfb", "import", "curl", "/usr/bin/python3"},
                         "the velmora target; scripts/install-deps.sh; curl: Debian curl"))
        return 1;
    return 0;
}

std::unique_ptr<test::FtpServer> startSideBySideServer()
{
    test::FtpServerOptions options;
    options.keepEveryVersion = false;
    auto server = std::make_unique<test::FtpServer>(options);
    for (const char* remote : {"bench", "peer"})
        std::filesystem::create_directory(server->root() + "/" + remote);
    return server;
}

} // namespace velmora::bench

#include "app/command_line.h"
#include "app/program.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Before Qt starts: help and version need no display, and Qt would take some options
    // (-display, -platform) as its own.
    const std::string programName = argc > 0 && argv[0] != nullptr ? argv[0] : "velmora";
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const velmora::CommandLineRequest request = velmora::readCommandLine(arguments);
    switch (request.action) {
    case velmora::CommandLineAction::PrintHelp:
        std::fputs(velmora::helpText(programName).c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case velmora::CommandLineAction::PrintVersion:
        std::fputs(velmora::versionText().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case velmora::CommandLineAction::UsageError:
        std::fputs(velmora::usageErrorText(programName, request.offending).c_str(), stderr);
        return velmora::kUsageErrorExitCode;
    case velmora::CommandLineAction::Run:
        break;
    }
    velmora::runProgram(argc, argv);
}

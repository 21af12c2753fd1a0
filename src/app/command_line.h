#pragma once
// What the command line asks for. It is read before any window system is touched, so that
// `velmora --help` and `velmora --version` work on a console without a display.

#include <functional>
#include <string>
#include <vector>

namespace velmora {

enum class CommandLineAction {
    Run,          // no arguments: the program starts as always
    PrintHelp,    // --help
    PrintVersion, // --version
    UsageError,   // anything else
};

struct CommandLineRequest {
    CommandLineAction action = CommandLineAction::Run;
    std::string offending; // the first argument not understood, for UsageError
};

// arguments: argv without the program name.
CommandLineRequest readCommandLine(const std::vector<std::string>& arguments);

// The texts to print, each ending in a line break. programName is argv[0] as given.
std::string helpText(const std::string& programName);
std::string versionText();
std::string usageErrorText(const std::string& programName, const std::string& offending);

// Exit codes: 0 after help or version, 2 after a usage error.
inline constexpr int kUsageErrorExitCode = 2;

// What both programs' mains do first: help, version and a usage error are told (error: on the
// error stream) and end with their exit code, 1 when the text could not be written; otherwise
// run starts the program and gives the exit code.
int runFromCommandLine(const std::string& programName, const std::vector<std::string>& arguments,
                       const std::function<bool(const std::string& text, bool error)>& tell,
                       const std::function<int()>& run);

} // namespace velmora

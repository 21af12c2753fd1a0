#pragma once
// Starts a program for a test, with its own environment, and makes sure it is gone afterwards.

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace velmora::test {

// What a child gets beyond its arguments and environment.
struct LaunchSetup {
    // Descriptors it inherits besides 0 to 2: its own number -> the parent's descriptor.
    std::map<int, int> descriptors;
    // A process group of its own, so that the helpers it starts end with it and nothing else does.
    bool ownProcessGroup = false;
};

class LaunchedProgram {
public:
    // env: variables to set (an empty value removes the variable); output goes to outputFile
    // (or /dev/null when empty).
    LaunchedProgram(const std::vector<std::string>& argv,
                    const std::map<std::string, std::string>& env,
                    const std::string& outputFile = {}, const LaunchSetup& setup = {});
    // Kills and reaps a child that still runs, and with its own process group all of that group.
    ~LaunchedProgram();
    LaunchedProgram(const LaunchedProgram&) = delete;
    LaunchedProgram& operator=(const LaunchedProgram&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // The exit code once the child ended within the time; nullopt if it still runs. A child
    // ended by a signal reports 128 + the signal number.
    std::optional<int> waitFor(std::chrono::milliseconds limit);
    void kill(int signal);

private:
    pid_t pid_ = -1;
    bool ownProcessGroup_ = false;
    std::optional<int> status_;
};

// Runs a shell command and returns what it printed on standard output.
std::string commandOutput(const std::string& command);

} // namespace velmora::test

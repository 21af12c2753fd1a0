#pragma once
// Starts a program for a test, with its own environment, and makes sure it is gone afterwards.

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace velmora::test {

class LaunchedProgram {
public:
    // env: variables to set (an empty value removes the variable); output goes to outputFile
    // (or /dev/null when empty).
    LaunchedProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                 const std::string& outputFile = {});
    ~LaunchedProgram(); // kills and reaps a child that still runs
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
    std::optional<int> status_;
};

// Runs a shell command and returns what it printed on standard output.
std::string commandOutput(const std::string& command);

// A TCP port on 127.0.0.1 that was free a moment ago.
int freeLocalPort();

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& path() const { return path_; } // no trailing "/"

private:
    std::string path_;
};

} // namespace velmora::test

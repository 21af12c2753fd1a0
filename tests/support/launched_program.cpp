#include "support/launched_program.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace velmora::test {
namespace {

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& env)
{
    std::map<std::string, std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos)
            merged[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : env) {
        if (value.empty())
            merged.erase(name);
        else
            merged[name] = value;
    }
    std::vector<std::string> texts;
    for (const auto& [name, value] : merged)
        texts.push_back(name + "=" + value);
    return texts;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (auto& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Copies of the parent's descriptors above every number the child is to get them as, so that
// putting one in place never overwrites another still to be placed. Closed again when it goes.
class RaisedDescriptors {
public:
    explicit RaisedDescriptors(const std::map<int, int>& descriptors)
    {
        int above = 3;
        for (const auto& [childFd, parentFd] : descriptors)
            above = std::max(above, childFd + 1);
        for (const auto& [childFd, parentFd] : descriptors) {
            const int raised = ::fcntl(parentFd, F_DUPFD_CLOEXEC, above);
            if (raised < 0)
                throw std::runtime_error("cannot pass a descriptor to the child");
            raised_.emplace_back(childFd, raised);
        }
    }
    ~RaisedDescriptors()
    {
        for (const auto& [childFd, raised] : raised_)
            ::close(raised);
    }
    RaisedDescriptors(const RaisedDescriptors&) = delete;
    RaisedDescriptors& operator=(const RaisedDescriptors&) = delete;

    void placeIn(posix_spawn_file_actions_t& actions) const
    {
        for (const auto& [childFd, raised] : raised_)
            posix_spawn_file_actions_adddup2(&actions, raised, childFd);
    }

private:
    std::vector<std::pair<int, int>> raised_;
};

} // namespace

LaunchedProgram::LaunchedProgram(const std::vector<std::string>& argv,
                                 const std::map<std::string, std::string>& env,
                                 const std::string& outputFile, const LaunchSetup& setup)
    : ownProcessGroup_(setup.ownProcessGroup)
{
    std::vector<std::string> envTexts = mergedEnvironment(env);
    std::vector<char*> envp = pointersTo(envTexts);
    std::vector<std::string> args = argv;
    std::vector<char*> argp = pointersTo(args);
    const RaisedDescriptors descriptors(setup.descriptors);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string out = outputFile.empty() ? "/dev/null" : outputFile;
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    descriptors.placeIn(actions);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (setup.ownProcessGroup) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    const int result =
        posix_spawnp(&pid_, argp[0], &actions, &attributes, argp.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0)
        throw std::runtime_error("cannot start " + argv.front());
}

LaunchedProgram::~LaunchedProgram()
{
    // The group outlives its first process while any helper it started still runs.
    if (ownProcessGroup_)
        ::kill(-pid_, SIGKILL);
    if (running()) {
        kill(SIGKILL);
        waitFor(std::chrono::seconds(5));
    }
}

bool LaunchedProgram::running()
{
    return !waitFor(std::chrono::milliseconds(0)).has_value();
}

std::optional<int> LaunchedProgram::waitFor(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!status_) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (done < 0 && errno != EINTR) {
            status_ = -1;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

void LaunchedProgram::kill(int signal)
{
    if (!status_)
        ::kill(pid_, signal);
}

std::string commandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    std::array<char, 4096> buffer{};
    size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), got);
    ::pclose(pipe);
    return output;
}

} // namespace velmora::test

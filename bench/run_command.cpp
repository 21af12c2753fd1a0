#include "run_command.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace velmora::bench {

bool runCommand(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    std::vector<char*> argp;
    for (auto& a : args)
        argp.push_back(a.data());
    argp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argp[0], &actions, nullptr, argp.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace velmora::bench

namespace velmora::bench {

bool commandExists(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && access((folder + "/" + name).c_str(), X_OK) == 0)
            return true;
    return false;
}

} // namespace velmora::bench

namespace velmora::bench {

bool commandsPresent(const std::vector<std::string>& names, const std::string& hint)
{
    for (const std::string& name : names) {
        const bool found = name.find('/') != std::string::npos ? access(name.c_str(), X_OK) == 0
                                                               : commandExists(name);
        if (!found) {
            std::fprintf(stderr, "%s is missing (%s)\n", name.c_str(), hint.c_str());
            return false;
        }
    }
    return true;
}

} // namespace velmora::bench

#include "support/throwaway_user.h"

#include <cstdlib>
#include <stdexcept>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::test {
namespace {

bool succeeds(const std::string& command)
{
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool canMakeUsers()
{
    return geteuid() == 0 && access("/usr/sbin/useradd", X_OK) == 0;
}

ThrowawayUser::ThrowawayUser(std::string password) : password_(std::move(password))
{
    if (password_.find_first_of("'\n:") != std::string::npos)
        throw std::invalid_argument("the password must go into a shell line as it is");
    // A name of this process: two tests running at once never meet over one account.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "vtest" + std::to_string(getpid()) + "x" + std::to_string(attempt);
        if (getpwnam(name.c_str()))
            continue; // someone's account: never touched
        // No home, no group of its own, no shell: the account can do nothing but log in to the
        // test's own sshd.
        if (!succeeds("useradd -M -N -s /usr/sbin/nologin '" + name + "'"))
            break;
        name_ = name;
        break;
    }
    if (name_.empty())
        throw std::runtime_error("no throwaway user could be made");
    if (!succeeds("echo '" + name_ + ":" + password_ + "' | chpasswd")) {
        succeeds("userdel '" + name_ + "'");
        throw std::runtime_error("the throwaway user got no password");
    }
}

ThrowawayUser::~ThrowawayUser()
{
    succeeds("userdel '" + name_ + "'");
}

} // namespace velmora::test

#include "support/sshd_fixture.h"

#include "support/file_bytes.h"
#include "support/loopback_port.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>
#include <thread>

#include <pwd.h>
#include <unistd.h>

namespace velmora::test {
namespace {

void run(const std::string& command)
{
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
        throw std::runtime_error("failed: " + command);
}

// The processes below root: sshd's connection processes start sessions of their own, so its
// process group does not hold them.
std::set<pid_t> descendantsOf(pid_t root)
{
    std::map<pid_t, pid_t> parents;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        // "pid (command) state ppid ...": the command may hold spaces and parentheses.
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
            continue;
        char state = 0;
        pid_t parent = 0;
        if (std::sscanf(line.c_str() + line.rfind(')') + 1, " %c %d", &state, &parent) == 2)
            parents[std::stoi(name)] = parent;
    }
    std::set<pid_t> found{root};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [pid, parent] : parents)
            if (found.count(parent) && found.insert(pid).second)
                grew = true;
    }
    return found;
}

} // namespace

Sshd::~Sshd()
{
    // Connection processes outlive the listener; stopped, they would never see their end.
    thaw();
}

Sshd::Sshd(SshdOptions options)
{
    const passwd* account = getpwuid(getuid());
    if (!account)
        throw std::runtime_error("the test's user has no account entry");
    user_ = account->pw_name;
    std::filesystem::create_directory(home());
    makeHostKey();
    run("ssh-keygen -q -t ed25519 -N '' -C velmora-test -f '" + clientKey() + "'");
    std::filesystem::copy_file(clientKey() + ".pub", folder_.file("authorized_keys"));
    port_ = freeLocalPort();
    const std::string passwords = options.passwordUser.empty() ? "no" : "yes";
    if (!options.passwordUser.empty()) {
        // The account's SFTP session runs as that account: it must reach its start folder.
        namespace fs = std::filesystem;
        fs::permissions(folder_.path(),
                        fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        run("chown '" + options.passwordUser + "' '" + home() + "'");
    }
    const std::string idleTimeout =
        options.idleTimeoutSeconds > 0
            ? "ChannelTimeout session:*=" + std::to_string(options.idleTimeoutSeconds) +
                  "\nUnusedConnectionTimeout " + std::to_string(options.idleTimeoutSeconds) + "\n"
            : "";
    // internal-sftp logs to syslog or into the channel, neither of which a test reads: the
    // separate sftp-server, started by the login shell, writes its log to a file instead.
    const std::string refused =
        options.refusedRequests.empty() ? "" : " -P " + options.refusedRequests;
    const std::string held =
        options.holdCloseOf.empty()
            ? ""
            : "env VELMORA_HOLD_CLOSE=" + options.holdCloseOf + " LD_PRELOAD=" HELD_CLOSE_SHIM " ";
    const std::string sftp = options.logRequests || !held.empty()
                                 ? held + "/usr/lib/openssh/sftp-server -e -l DEBUG3 -d " + home() +
                                       refused + " 2>>" + folder_.file("requests.log")
                                 : "internal-sftp -d " + home();
    writeFileBytes(folder_.file("sshd_config"), std::string("ListenAddress 127.0.0.1\n") +
                                                    (options.ipv6Too ? "ListenAddress ::1\n" : "") +
                                                    "Port " + std::to_string(port_) +
                                                    "\n"
                                                    "HostKey " +
                                                    folder_.file("host_key") +
                                                    "\n"
                                                    "PidFile none\n"
                                                    "UsePAM no\n"
                                                    "StrictModes no\n"
                                                    "AuthorizedKeysFile " +
                                                    folder_.file("authorized_keys") +
                                                    "\n"
                                                    "PasswordAuthentication " +
                                                    passwords +
                                                    "\n"
                                                    "KbdInteractiveAuthentication " +
                                                    passwords +
                                                    "\n"
                                                    "PermitRootLogin prohibit-password\n"
                                                    "AllowUsers " +
                                                    user_ + " " + options.passwordUser +
                                                    "\n"
                                                    "ForceCommand " +
                                                    sftp +
                                                    "\n"
                                                    "Subsystem sftp " +
                                                    sftp + "\n" + idleTimeout);
    start();
}

std::string Sshd::knownHostsLine(const std::string& host) const
{
    const std::string key = fileBytes(folder_.file("host_key.pub"));
    const auto end = key.find(" ", key.find(' ') + 1);
    return "[" + host + "]:" + std::to_string(port_) + " " + key.substr(0, end) + "\n";
}

void Sshd::replaceHostKey()
{
    thaw();
    process_.reset();
    makeHostKey();
    start();
}

int Sshd::logins() const
{
    const std::string log = fileBytes(folder_.file("server.out"));
    int count = 0;
    for (auto at = log.find("Accepted "); at != std::string::npos;
         at = log.find("Accepted ", at + 1))
        ++count;
    return count;
}

std::string Sshd::requestLog() const
{
    const std::string log = folder_.file("requests.log");
    return std::filesystem::exists(log) ? fileBytes(log) : std::string();
}

void Sshd::freeze()
{
    // Stopped first, the listener starts no new process meanwhile; the rest again until no new
    // one shows, in case one was just being born.
    std::set<pid_t> stopped;
    for (bool more = true; more;) {
        more = false;
        for (const pid_t pid : descendantsOf(process_->pid()))
            if (stopped.insert(pid).second) {
                ::kill(pid, SIGSTOP);
                more = true;
            }
    }
    frozen_ = true;
}

void Sshd::thaw()
{
    if (!frozen_ || !process_)
        return;
    for (const pid_t pid : descendantsOf(process_->pid()))
        ::kill(pid, SIGCONT);
    frozen_ = false;
}

void Sshd::makeHostKey()
{
    std::filesystem::remove(folder_.file("host_key"));
    std::filesystem::remove(folder_.file("host_key.pub"));
    run("ssh-keygen -q -t ed25519 -N '' -f '" + folder_.file("host_key") + "'");
}

void Sshd::start()
{
    const std::string sshd = "/usr/sbin/sshd -D -e -f '" + folder_.file("sshd_config") + "'";
    const std::string command =
        getuid() == 0
            ? "exec unshare -m sh -c 'mount -t tmpfs tmpfs /run && mkdir -p /run/sshd && exec " +
                  std::string("/usr/sbin/sshd -D -e -f ") + folder_.file("sshd_config") + "'"
            : "exec " + sshd;
    // A group of its own: whatever the shells leave running ends with the server.
    LaunchSetup setup;
    setup.ownProcessGroup = true;
    process_ = std::make_unique<LaunchedProgram>(std::vector<std::string>{"/bin/sh", "-c", command},
                                                 std::map<std::string, std::string>{},
                                                 folder_.file("server.out"), setup);
    for (int i = 0; i < 500 && !acceptsConnections(port_); ++i) {
        if (!process_->running())
            throw std::runtime_error("sshd ended at start: " +
                                     fileBytes(folder_.file("server.out")));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!acceptsConnections(port_))
        throw std::runtime_error("sshd does not listen");
}

PresenterSshHome::PresenterSshHome(const Sshd& server)
{
    namespace fs = std::filesystem;
    fs::create_directory(folder_.file(".ssh"));
    fs::copy_file(server.clientKey(), folder_.file(".ssh/id_ed25519"));
    fs::copy_file(server.clientKey() + ".pub", folder_.file(".ssh/id_ed25519.pub"));
    if (const char* home = std::getenv("HOME"))
        previous_ = home;
    setenv("HOME", folder_.path().c_str(), 1);
}

PresenterSshHome::~PresenterSshHome()
{
    if (previous_)
        setenv("HOME", previous_->c_str(), 1);
    else
        unsetenv("HOME");
}

} // namespace velmora::test

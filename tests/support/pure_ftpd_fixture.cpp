#include "support/pure_ftpd_fixture.h"

#include "support/file_bytes.h"
#include "support/loopback_port.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace velmora::test {

namespace fs = std::filesystem;

PureFtpd::PureFtpd(const std::string& user, const std::string& password,
                   const std::string& certificateFile, bool recordLogins)
    : certificateFile_(certificateFile)
{
    fs::create_directory(root());
    // The account writes as "nobody"; the folders above the root must let it through.
    fs::permissions(folder_.path(),
                    fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    if (std::system(("chown nobody:nogroup '" + root() + "'").c_str()) != 0)
        throw std::runtime_error("cannot hand the FTP root to nobody");
    // pure-pw's own hash takes seconds to check at every login; a SHA-512 crypt hash is quick.
    const std::string hash = commandOutput("openssl passwd -6 '" + password + "'");
    if (hash.size() < 2)
        throw std::runtime_error("openssl passwd failed");
    writeFileBytes(folder_.file("passwd"), user + ":" + hash.substr(0, hash.find('\n')) +
                                               ":65534:65534::" + root() + "/./::::::::::::\n");
    const std::string make = "pure-pw mkdb '" + folder_.file("users.pdb") + "' -f '" +
                             folder_.file("passwd") + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0)
        throw std::runtime_error("pure-pw mkdb failed");
    if (recordLogins) {
        // "auth_ok:0": not decided here, the next method (the account database) decides.
        writeFileBytes(folder_.file("record-login.sh"),
                       "#!/bin/sh\n"
                       "if [ \"$AUTHD_ENCRYPTED\" = 1 ]; then how=protected; else how=clear; fi\n"
                       "echo \"$AUTHD_ACCOUNT $how\" >> '" +
                           folder_.file("logins") +
                           "'\n"
                           "printf 'auth_ok:0\\nend\\n'\n");
        fs::permissions(folder_.file("record-login.sh"), fs::perms::owner_all);
        writeFileBytes(folder_.file("logins"), "");
        loginRecorder_ = std::make_unique<LaunchedProgram>(
            std::vector<std::string>{"/usr/sbin/pure-authd", "-s", folder_.file("authd.sock"), "-r",
                                     folder_.file("record-login.sh")},
            std::map<std::string, std::string>{}, folder_.file("authd.out"));
        for (int i = 0; i < 500 && !fs::exists(folder_.file("authd.sock")); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!fs::exists(folder_.file("authd.sock")))
            throw std::runtime_error("pure-authd did not start");
    }
    port_ = freeLocalPort();
    start();
}

std::vector<std::string> PureFtpd::logins() const
{
    std::vector<std::string> lines;
    std::istringstream text(fileBytes(folder_.file("logins")));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

void PureFtpd::makeFolder(const std::string& relative) const
{
    std::filesystem::create_directories(root() + "/" + relative);
    if (std::system(("chown -R nobody:nogroup '" + root() + "'").c_str()) != 0)
        throw std::runtime_error("cannot hand the folder to nobody");
}

void PureFtpd::replaceCertificate(const std::string& certificateFile)
{
    certificateFile_ = certificateFile;
    process_.reset();
    start();
}

void PureFtpd::start()
{
    std::vector<std::string> command{"/usr/sbin/pure-ftpd", "-S",
                                     "127.0.0.1," + std::to_string(port_), "-4"};
    if (loginRecorder_)
        command.insert(command.end(), {"-l", "extauth:" + folder_.file("authd.sock")});
    command.insert(command.end(), {"-l", "puredb:" + folder_.file("users.pdb"), "-E", "-A", "-H",
                                   "-p", "50000:59999", "-Y", "2", "-2", certificateFile_});
    // A group of its own: the processes that serve the logins end with the server, as they do
    // when a real server is restarted, and so do the connections kept open to it.
    LaunchSetup setup;
    setup.ownProcessGroup = true;
    process_ = std::make_unique<LaunchedProgram>(command, std::map<std::string, std::string>{},
                                                 folder_.file("server.out"), setup);
    // Its greeting, not only an accepted connection: right after a restart the first
    // connections may still be dropped.
    for (int i = 0; i < 500 && !greetsWith(port_, "220", 1000); ++i) {
        if (!process_->running())
            throw std::runtime_error("pure-ftpd ended at start");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!greetsWith(port_, "220", 1000))
        throw std::runtime_error("pure-ftpd does not greet");
}

} // namespace velmora::test

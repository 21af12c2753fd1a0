#include "support/pure_ftpd_fixture.h"

#include "support/file_bytes.h"
#include "support/loopback_port.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace velmora::test {

PureFtpd::PureFtpd(const std::string& user, const std::string& password,
                   const std::string& certificateFile)
    : certificateFile_(certificateFile)
{
    namespace fs = std::filesystem;
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
    port_ = freeLocalPort();
    start();
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
    process_ = std::make_unique<LaunchedProgram>(
        std::vector<std::string>{"/usr/sbin/pure-ftpd", "-S", "127.0.0.1," + std::to_string(port_),
                                 "-4", "-l", "puredb:" + folder_.file("users.pdb"), "-E", "-A",
                                 "-H", "-p", "50000:59999", "-Y", "2", "-2", certificateFile_},
        std::map<std::string, std::string>{}, folder_.file("server.out"));
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

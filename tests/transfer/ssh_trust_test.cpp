// Where an SFTP connection's trusted host keys are read and written: beside the remembered keys
// in the Work folder, whatever the platform's separator, never in the folder the program was
// started from; and the presenter's own OpenSSH file in the home folder.

#include "transfer/ssh_trust.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace velmora {
namespace {

std::string knownHostsBeside(const std::string& keyFile)
{
    ServerTrust trust;
    trust.files.keyFile = keyFile;
    return sshTrustFor(trust).knownHostsFile;
}

TEST(SshTrust, AcceptedKeysLieBesideTheRememberedKeysOnEitherPlatform)
{
    EXPECT_EQ(knownHostsBeside("/home/ann/.config/Velmora/Velmora.keys"),
              "/home/ann/.config/Velmora/known_hosts");
    EXPECT_EQ(knownHostsBeside("C:\\Users\\Ann\\AppData\\Roaming\\Velmora\\Velmora.keys"),
              "C:\\Users\\Ann\\AppData\\Roaming\\Velmora\\known_hosts");
    EXPECT_EQ(knownHostsBeside(""), "") << "nothing remembered: nothing trusted";
}

// The home folder as each platform's OpenSSH finds it: HOME, on Windows USERPROFILE.
void setHome(const char* value)
{
#ifdef _WIN32
    _putenv_s("USERPROFILE", value);
#else
    if (*value == '\0')
        ::unsetenv("HOME");
    else
        ::setenv("HOME", value, 1);
#endif
}

TEST(SshTrust, ThePresentersOwnKnownHostsAreInTheHomeFolder)
{
#ifdef _WIN32
    const char* const variable = "USERPROFILE";
    const char* const home = "C:\\Users\\Ann";
    const std::string expected = "C:\\Users\\Ann\\.ssh\\known_hosts";
#else
    const char* const variable = "HOME";
    const char* const home = "/home/ann";
    const std::string expected = "/home/ann/.ssh/known_hosts";
#endif
    const char* saved = std::getenv(variable);
    const std::string before = saved != nullptr ? saved : "";
    setHome(home);
    EXPECT_EQ(sshTrustFor({}).userKnownHostsFile, expected);
    setHome("");
    EXPECT_EQ(sshTrustFor({}).userKnownHostsFile, "") << "no home, no file of a guessed folder";
    setHome(before.c_str());
}

} // namespace
} // namespace velmora

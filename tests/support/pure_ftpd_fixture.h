#pragma once
// A real pure-ftpd for FTPS tests: on 127.0.0.1 with a free port, one virtual account whose files
// belong to "nobody", and TLS required before any login ("-Y 2"), so that a client that would
// send the password in clear is refused. Runs without system services and is stopped by the test.

#include "support/launched_program.h"
#include "support/temporary_folder.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora::test {

class PureFtpd {
public:
    // certificateFile: certificate and key in one PEM file. recordLogins: every login the server
    // is sent is written down for logins() before the server checks it.
    PureFtpd(const std::string& user, const std::string& password,
             const std::string& certificateFile, bool recordLogins = false);

    int port() const { return port_; }
    std::string serverName() const { return "ftpes://127.0.0.1:" + std::to_string(port_); }
    // The account's login folder, without a trailing "/".
    std::string root() const { return folder_.path() + "/root"; }

    // Makes a folder below the root that the account may write into.
    void makeFolder(const std::string& relative) const;

    // Restarts with another certificate on the same port, as a server that got a new key.
    void replaceCertificate(const std::string& certificateFile);

    // With recordLogins: the account name of every login sent so far, right or wrong, each
    // followed by " protected" when it came over TLS and " clear" when not.
    std::vector<std::string> logins() const;

private:
    void start();

    TemporaryFolder folder_;
    std::string certificateFile_;
    std::unique_ptr<LaunchedProgram> process_;
    // Hears of every login through pure-ftpd's external authentication, and passes it on to the
    // account database.
    std::unique_ptr<LaunchedProgram> loginRecorder_;
    int port_ = 0;
};

} // namespace velmora::test

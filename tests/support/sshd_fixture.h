#pragma once
// A real OpenSSH server for SFTP tests: on 127.0.0.1 with a free port, its own ed25519 host key,
// and one way in: a throwaway key made for it, for the user the tests run as. Nothing of the
// machine's accounts or SSH set-up is touched. The SFTP start folder (the "home" a client sees)
// is a folder of its own. As root, sshd wants /run/sshd: it then runs in a private mount
// namespace with a fresh /run.

#include "support/launched_program.h"
#include "support/temporary_folder.h"

#include <memory>
#include <optional>
#include <string>

namespace velmora::test {

struct SshdOptions {
    // > 0: an SFTP channel idle for this long is closed, and with it the connection, as servers
    // end idle logins.
    int idleTimeoutSeconds = 0;
    // Not empty: this account may log in too, with its password (keyboard-interactive as well),
    // and owns the SFTP start folder.
    std::string passwordUser;
    // The SFTP server writes every request it serves to a log of its own (see requestLog).
    bool logRequests = false;
    // With logRequests: SFTP requests the server refuses, as servers that do not know them do
    // (sftp-server's names, comma-separated).
    std::string refusedRequests;
    // Not empty: the SFTP server takes every byte of a file of this name but never confirms its
    // close (the separate sftp-server then serves, with a library preloaded that holds it).
    std::string holdCloseOf;
    // Listens on ::1 too, where the machine has it (see acceptsIpv6Connections).
    bool ipv6Too = false;
};

class Sshd {
public:
    explicit Sshd(SshdOptions options = {});
    ~Sshd();
    Sshd(const Sshd&) = delete;
    Sshd& operator=(const Sshd&) = delete;

    int port() const { return port_; }
    std::string serverName() const { return "sftp://127.0.0.1:" + std::to_string(port_); }
    // The login name the client key is authorised for.
    const std::string& user() const { return user_; }
    // The private key that logs in; its public half is authorised.
    std::string clientKey() const { return folder_.file("client_key"); }
    // Where SFTP sessions start, without a trailing "/".
    std::string home() const { return folder_.path() + "/home"; }
    std::string hostPublicKey() const { return folder_.file("host_key.pub"); }
    // The host key's line for an OpenSSH known-hosts file, as the server shows it, under the
    // name ssh gives the server when it is called host.
    std::string knownHostsLine(const std::string& host = "127.0.0.1") const;

    // Restarts with a new host key on the same port, as a reinstalled server.
    void replaceHostKey();
    // How many logins the server accepted so far, restarts included.
    int logins() const;
    // With logRequests: what the SFTP server wrote so far, lines naming each request it served.
    std::string requestLog() const;
    // Stops the server and every process it started (SIGSTOP), as a server that no longer
    // answers: connections stay open and the kernel still takes bytes, but no reply comes.
    // thaw() lets them go on; the server thaws when it goes.
    void freeze();
    void thaw();

private:
    void makeHostKey();
    void start();

    TemporaryFolder folder_;
    std::string user_;
    std::unique_ptr<LaunchedProgram> process_;
    int port_ = 0;
    bool frozen_ = false;
};

// A presenter's home for the length of a test: HOME points at a fresh folder whose .ssh holds the
// server's client key as id_ed25519, the default key the program logs in with; HOME comes back
// afterwards. Nothing of the real home is read or written.
class PresenterSshHome {
public:
    explicit PresenterSshHome(const Sshd& server);
    ~PresenterSshHome();
    PresenterSshHome(const PresenterSshHome&) = delete;
    PresenterSshHome& operator=(const PresenterSshHome&) = delete;

    std::string knownHostsFile() const { return folder_.file(".ssh/known_hosts"); }

private:
    TemporaryFolder folder_;
    std::optional<std::string> previous_;
};

} // namespace velmora::test

#pragma once
// One operation's SFTP connection to the presenter's server (sftp://), with the operations of an
// FTP session. SFTP has no current directory on the server: the session keeps it as a path
// prefix, relative to where the login starts (the user's home) unless it is absolute.
//
// The host key is checked before any password or key signature goes out: against the Work
// folder's known-hosts file, then against the presenter's own ~/.ssh/known_hosts, which is only
// read. An unknown key is asked about; a changed one stops the open unless a question for it is
// given and answered Yes. Without a known-hosts file of its own the session never connects,
// since libcurl would then accept any key without a word.

#include "transfer/ftp_session_types.h"
#include "transfer/server_trust.h"
#include "transfer/ssh_trust.h"
#include "transfer/transfer_loop_counters.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// How the session logs in when no password is typed: the SSH agent, then the first of these
// private key files that exists (ed25519 first: libssh2 1.10 signs RSA keys with SHA-1 only).
std::vector<std::string> defaultSshKeyFiles();

class SftpSession {
public:
    explicit SftpSession(FtpTimeouts timeouts = {}, SshTrust trust = {},
                         std::vector<std::string> keyFiles = defaultSshKeyFiles());
    ~SftpSession();
    SftpSession(const SftpSession&) = delete;
    SftpSession& operator=(const SftpSession&) = delete;

    // A typed password logs in with it alone; an empty one uses the agent and the key files. An
    // empty user name is the presenter's own login name, as ssh takes it.
    FtpOpenResult open(const std::string& serverName, const std::string& userName,
                       const std::string& password);
    bool isOpen() const;
    // The key the last open refused or was asked about: "sha256//<Base64>" of the key blob, as
    // fingerprintText shows it.
    const UntrustedServer& untrustedServer() const;
    // Why the last login was refused, where more can be said than that it was: the RSA key
    // that current servers no longer accept from this library. Empty otherwise.
    const std::string& loginFailureNote() const;
    void limitTo(std::chrono::steady_clock::time_point deadline);
    // A listing of the login folder: true when the server answered, over a new connection (with
    // the host key checked again) if libcurl found that the server had closed the old one.
    bool stillAnswers();

    // Uploads byte for byte: SFTP has no text mode, and the pages already carry CR LF.
    bool putFile(const std::string& localPath, const std::string& remotePath);
    // Moves the prefix, after a listing of the folder showed that it is there.
    bool setCurrentDirectory(const std::string& directory);
    // The folder's absolute name on the server: the login folder libcurl resolved at connect,
    // joined with the prefix.
    std::optional<std::string> currentDirectory();
    bool deleteFile(const std::string& name);
    // SFTP's rename refuses an existing target (libssh2 1.10 has no posix-rename), so a file of
    // the new name is deleted first.
    FtpRenameResult renameFile(const std::string& from, const std::string& to);
    void close();

    const TransferLoopCounters& transferCounters() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace velmora

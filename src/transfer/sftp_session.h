#pragma once
// A ServerSession over SFTP (sftp://). SFTP has no current directory on the server: the session
// keeps it as a path prefix, relative to where the login starts (the user's home) unless it is
// absolute.
//
// The host key is checked before any password or key signature goes out: against the Work
// folder's known-hosts file, then against the presenter's own ~/.ssh/known_hosts, which is only
// read. An unknown key is asked about; a changed one stops the open unless a question for it is
// given and answered Yes; a key revoked in either file stops it unasked. Without a known-hosts file
// of its own the session never connects, since libcurl would then accept any key without a word.

#include "transfer/ftp_session_types.h"
#include "transfer/server_session.h"
#include "transfer/server_trust.h"
#include "transfer/ssh_login.h"
#include "transfer/ssh_trust.h"
#include "transfer/transfer_loop_counters.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class SftpSession : public ServerSession {
public:
    // keyFiles: the private keys tried, the first one that exists, when no password is typed.
    explicit SftpSession(FtpTimeouts timeouts = {}, SshTrust trust = {},
                         std::vector<std::string> keyFiles = defaultSshKeyFiles());
    ~SftpSession() override;

    // A typed password logs in with it alone; an empty one uses the agent and the key files. An
    // empty user name is the presenter's own login name, as ssh takes it.
    FtpOpenResult open(const std::string& serverName, const std::string& userName,
                       const std::string& password) override;
    bool isOpen() const override;
    // The key the last open refused or was asked about: "sha256//<Base64>" of the key blob, as
    // fingerprintText shows it.
    const UntrustedServer& untrustedServer() const override;
    // Why the last login was refused, where more can be said than that it was: the RSA key
    // that current servers no longer accept from this library. Empty otherwise.
    const std::string& loginFailureNote() const override;
    void limitTo(std::chrono::steady_clock::time_point deadline) override;
    // A listing of the login folder.
    bool stillAnswers() override;

    // Uploads byte for byte whatever type says: SFTP has no text mode, and the pages already
    // carry CR LF.
    bool putBytes(const std::string& bytes, const std::string& remotePath,
                  TransferType type) override;
    // Moves the prefix, after a listing of the folder showed that it is there.
    bool setCurrentDirectory(const std::string& directory) override;
    // The folder's absolute name on the server: the login folder libcurl resolved at connect,
    // joined with the prefix.
    std::optional<std::string> currentDirectory() override;
    bool deleteFile(const std::string& name) override;
    // Always empty: SFTP acknowledges every written block, so a finished upload is whole.
    std::optional<long long> fileSize(const std::string& name) override;
    // SFTP's rename refuses an existing target (libssh2 1.10 has no posix-rename), so a file of
    // the new name is deleted first. Never DestinationRefused.
    FtpRenameResult renameFile(const std::string& from, const std::string& to) override;
    void close() override;

    const TransferLoopCounters& transferCounters() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace velmora

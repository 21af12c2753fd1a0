#pragma once
// A ServerSession over FTP (ftp://, or a name without scheme) or FTPS (ftpes://, ftps://): one
// control connection, used for a few commands. Data connections are always passive (EPSV, then
// PASV); there is no active mode. Over FTPS control and data connections are both protected, and
// the password goes out only once the server is trusted: its certificate verified against the CA
// store and its name, or its public key one the presenter chose to trust. An sftp:// name is
// refused here: makeServerSession gives an SftpSession for it.

#include "transfer/ftp_session_types.h"
#include "transfer/server_session.h"
#include "transfer/server_trust.h"
#include "transfer/transfer_loop_counters.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

class FtpSession : public ServerSession {
public:
    explicit FtpSession(FtpTimeouts timeouts = {}, ServerTrust trust = {});
    ~FtpSession() override;

    FtpOpenResult open(const std::string& serverName, const std::string& userName,
                       const std::string& password) override;
    bool isOpen() const override;
    const UntrustedServer& untrustedServer() const override;
    // Always empty: an FTP server says no more than that it refused the login.
    const std::string& loginFailureNote() const override;
    void limitTo(std::chrono::steady_clock::time_point deadline) override;
    // NOOP.
    bool stillAnswers() override;

    // remotePath reaches the server exactly as given, "." and ".." segments included, as every
    // other command's names do. Ascii sends TYPE A, Binary TYPE I.
    bool putBytes(const std::string& bytes, const std::string& remotePath,
                  TransferType type) override;
    // CWD, then PWD for the server's own name of the directory, which every later command of
    // the session returns to should libcurl have to reconnect. False when either fails or the
    // name is unusable; the session then refuses every further command, since it no longer
    // knows where they would land.
    bool setCurrentDirectory(const std::string& directory) override;
    // The quoted path of the 257 reply to PWD; empty when there is none or it holds control
    // characters.
    std::optional<std::string> currentDirectory() override;
    bool deleteFile(const std::string& name) override;
    // SIZE: the size the server gives for name, as stored in binary mode. Ask right after a
    // binary upload (the connection's type stays as that upload set it). Empty when the server
    // gives none, for example because it does not know the command.
    std::optional<long long> fileSize(const std::string& name) override;
    // RNFR from, RNTO to.
    FtpRenameResult renameFile(const std::string& from, const std::string& to) override;
    void close() override;

    // How libcurl was driven in the transfers since open, for tests and measurements.
    const TransferLoopCounters& transferCounters() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace velmora

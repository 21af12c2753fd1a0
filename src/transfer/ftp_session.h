#pragma once
// One FTP operation's connection to the presenter's server: opened (connected and logged in),
// used for a few commands on the same control connection, closed. A running presentation keeps
// its session from one cycle to the next (CycleConnection); every other operation opens its own.
// Data connections are always passive (EPSV, then PASV); there is no active mode. Over FTPS
// (ftpes://, ftps://) control and data connections are both protected, and the password goes out
// only once the server is trusted: its certificate verified against the CA store and its name, or
// its public key one the presenter chose to trust. An sftp:// server is reached through an
// SftpSession with the same operations.

#include "transfer/ftp_session_types.h"
#include "transfer/server_trust.h"
#include "transfer/transfer_loop_counters.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

class FtpSession {
public:
    explicit FtpSession(FtpTimeouts timeouts = {}, ServerTrust trust = {});
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Whom the next open trusts, and whom it asks.
    void setTrust(ServerTrust trust);
    // serverName as parseServerAddress takes it; an empty userName logs in anonymously.
    FtpOpenResult open(const std::string& serverName, const std::string& userName,
                       const std::string& password);
    bool isOpen() const;
    // The server the last open refused to trust or found with a changed key.
    const UntrustedServer& untrustedServer() const;
    // Why the last SFTP login was refused, where more can be said (an RSA key); else empty.
    const std::string& loginFailureNote() const;
    // Ends the whole session by this time at the latest (an earlier deadline stays): no command
    // starts after it and none runs past it. A server that answers each command just inside the
    // time-outs would otherwise hold a tool or Clear, and with them the presenter's windows, for
    // minutes.
    void limitTo(std::chrono::steady_clock::time_point deadline);
    // NOOP over FTP, a listing of the login folder over SFTP: true when the server answered. Should
    // libcurl find that the server closed the connection meanwhile, it opens a new one for it,
    // with the same checks of the server's key as before.
    bool stillAnswers();

    // remotePath is relative to the current directory (the login directory unless changed) and
    // reaches the server exactly as given, "." and ".." segments included, as every other
    // command's names do. Ascii sends TYPE A, Binary TYPE I. False when the local file cannot be
    // read or the server does not take the file.
    bool putFile(const std::string& localPath, const std::string& remotePath, TransferType type);
    // CWD, then PWD for the server's own name of the directory, which every later command of
    // the session returns to should libcurl have to reconnect. False when either fails or the
    // name is unusable; the session then refuses every further command, since it no longer
    // knows where they would land.
    bool setCurrentDirectory(const std::string& directory);
    // The server's name for the current directory: the quoted path of the 257 reply; empty when
    // there is none or it holds control characters.
    std::optional<std::string> currentDirectory();
    bool deleteFile(const std::string& name);
    // SIZE: the size the server gives for name, as stored in binary mode. Ask right after a
    // binary upload (the connection's type stays as that upload set it). Empty when the server
    // gives none, for example because it does not know the command.
    std::optional<long long> fileSize(const std::string& name);
    // RNFR from, RNTO to. Both names are relative to the current directory.
    FtpRenameResult renameFile(const std::string& from, const std::string& to);
    void close();

    // How libcurl was driven in the transfers since open, for tests and measurements.
    const TransferLoopCounters& transferCounters() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace velmora

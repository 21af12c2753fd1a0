#pragma once
// One operation's connection to the presenter's server: opened (connected and logged in), used
// for a few commands, closed. A running presentation keeps its session from one cycle to the next
// (CycleConnection); every other operation opens its own. FtpSession serves ftp://, ftpes:// and
// ftps://, SftpSession sftp://; makeServerSession picks the one a server name asks for.
//
// The password goes out only once the server is trusted: over FTPS its certificate verified
// against the CA store and its name, or its public key one the presenter chose to trust; over
// SFTP its host key known or accepted.

#include "transfer/ftp_session_types.h"
#include "transfer/server_trust.h"

#include <chrono>
#include <optional>
#include <string>

namespace velmora {

class ServerSession {
public:
    virtual ~ServerSession() = default;
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;

    // serverName as parseServerAddress takes it. An empty userName logs in anonymously over FTP
    // and as the presenter's own login over SFTP.
    virtual FtpOpenResult open(const std::string& serverName, const std::string& userName,
                               const std::string& password) = 0;
    virtual bool isOpen() const = 0;
    // The server the last open refused to trust or found with a changed key.
    virtual const UntrustedServer& untrustedServer() const = 0;
    // Why the last login was refused, where more can be said than that it was; else empty.
    virtual const std::string& loginFailureNote() const = 0;
    // Ends the whole session by this time at the latest (an earlier deadline stays): no command
    // starts after it and none runs past it. A server that answers each command just inside the
    // time-outs would otherwise hold a tool or Clear, and with them the presenter's windows, for
    // minutes.
    virtual void limitTo(std::chrono::steady_clock::time_point deadline) = 0;
    // True when the server answered a harmless request. Should libcurl find that the server
    // closed the connection meanwhile, it opens a new one for it, with the same checks of the
    // server's key as before.
    virtual bool stillAnswers() = 0;

    // Stores bytes as remotePath, relative to the current directory (the login directory unless
    // changed). False when the server does not take them.
    virtual bool putBytes(const std::string& bytes, const std::string& remotePath,
                          TransferType type) = 0;
    // The local file's bytes through putBytes, for what exists only as a file. False when the
    // file cannot be read or the server does not take it.
    bool putFile(const std::string& localPath, const std::string& remotePath, TransferType type);
    // False when the directory is not there or cannot be used; the current directory is then
    // the old one, or, where that cannot be known, none at all.
    virtual bool setCurrentDirectory(const std::string& directory) = 0;
    // The server's absolute name for the current directory; empty when it gives none usable.
    virtual std::optional<std::string> currentDirectory() = 0;
    virtual bool deleteFile(const std::string& name) = 0;
    // The size the server gives for name, as stored; empty when it gives none.
    virtual std::optional<long long> fileSize(const std::string& name) = 0;
    // Both names are relative to the current directory.
    virtual FtpRenameResult renameFile(const std::string& from, const std::string& to) = 0;
    virtual void close() = 0;

protected:
    ServerSession() = default;
};

} // namespace velmora

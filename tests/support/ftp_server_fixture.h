#pragma once
// A real FTP server for tests and benchmarks (scripts/ftp_server.py on Debian's
// python3-pyftpdlib), listening on 127.0.0.1 on a free port with a fresh root folder, and a record
// of every command it got.

#include "support/launched_program.h"
#include "support/temporary_folder.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora::test {

enum class FtpServerTls {
    None,
    Explicit, // AUTH TLS before the login and protected data connections required
    Implicit, // TLS from the first byte
};

struct FtpServerOptions {
    std::string user; // empty: anonymous logins only
    std::string password;
    bool refusePassive = false;    // EPSV and PASV answered 502
    long stallAfterBytes = -1;     // >= 0: the server stops answering once an upload sent this much
    bool refuseRenameOver = false; // RNTO onto an existing name answered 550
    bool refuseRename = false;     // RNFR and RNTO answered 502
    // A copy of every file as it arrived, for stored(). A benchmark turns it off: the copies
    // would cost the server time in every measured upload.
    bool keepEveryVersion = true;
    bool refuseDelete = false; // the account may upload but not delete: DELE answered 550
    // Sent as it is, line ends included, instead of the true answer to PWD: a hostile or broken
    // server's reply.
    std::string pwdReply;
    int replyDelayMs = 0; // every command is answered this late: a server at its limits
    // The last byte of every upload is dropped and the upload still reported complete.
    bool cutUploads = false;
    // > 0: a login that sends no command for this long is told so (421) and its connection
    // closed, as servers end idle logins.
    double idleTimeoutSeconds = 0;
    FtpServerTls tls = FtpServerTls::None;
    std::string certificateFile; // with tls: certificate and key in one PEM file
};

// One complete file as it arrived under its name: by an upload, or by a rename onto that name.
struct StoredFile {
    std::string name; // the file name without its folder
    std::string bytes;
    std::string renamedFrom; // the old name without its folder, for a rename; empty for an upload
};

class FtpServer {
public:
    explicit FtpServer(FtpServerOptions options = {});

    int port() const { return port_; }
    // What the presenter would type as the server name: "ftpes://" or "ftps://" before it for a
    // TLS server.
    std::string serverName() const;
    // The folder the FTP accounts start in, without a trailing "/".
    std::string root() const { return folder_.path() + "/root"; }
    std::string file(const std::string& relative) const;
    bool exists(const std::string& relative) const;

    // The file behind log(), for those who follow it as it grows.
    std::string logPath() const { return folder_.path() + "/commands.log"; }
    // Every command line received so far ("CLEAR " before a command of a TLS server that came
    // unprotected), plus "STORED <path> <bytes>" after each upload and
    // "RENAMED <from> <to>" after each rename.
    std::vector<std::string> log() const;
    // Only the lines that begin with one of the given words, e.g. {"STOR", "TYPE"}.
    std::vector<std::string> log(const std::vector<std::string>& words) const;
    // Every complete upload and every rename so far, in order, with the bytes the file had then.
    std::vector<StoredFile> stored() const;
    void clearLog() const;

    // The server goes away; its port then refuses connections until restart().
    void stop() { process_.reset(); }
    void restart();
    // Restarts on the same port with another certificate (and key), as a server given a new one.
    void replaceCertificate(const std::string& certificateFile);

private:
    std::string archivePath() const { return folder_.path() + "/archive"; }
    void start();

    FtpServerOptions options_;
    TemporaryFolder folder_;
    std::unique_ptr<LaunchedProgram> process_;
    int port_ = 0;
    int starts_ = 0;
};

} // namespace velmora::test

#include "support/ftp_server_fixture.h"

#include "support/announced_port.h"
#include "support/file_bytes.h"

#include <filesystem>
#include <sstream>

namespace velmora::test {

FtpServer::FtpServer(FtpServerOptions options) : options_(std::move(options))
{
    std::filesystem::create_directory(root());
    std::filesystem::create_directory(archivePath());
    start();
}

std::string FtpServer::serverName() const
{
    const std::string address = "127.0.0.1:" + std::to_string(port_);
    switch (options_.tls) {
    case FtpServerTls::Explicit:
        return "ftpes://" + address;
    case FtpServerTls::Implicit:
        return "ftps://" + address;
    case FtpServerTls::None:
        break;
    }
    return address;
}

std::string FtpServer::file(const std::string& relative) const
{
    return fileBytes(root() + "/" + relative);
}

bool FtpServer::exists(const std::string& relative) const
{
    return std::filesystem::exists(root() + "/" + relative);
}

std::vector<std::string> FtpServer::log() const
{
    std::vector<std::string> lines;
    std::istringstream in(fileBytes(logPath()));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> FtpServer::log(const std::vector<std::string>& words) const
{
    std::vector<std::string> picked;
    for (const auto& line : log())
        for (const auto& word : words)
            if (line.rfind(word + " ", 0) == 0 || line == word) {
                picked.push_back(line);
                break;
            }
    return picked;
}

std::vector<StoredFile> FtpServer::stored() const
{
    std::vector<StoredFile> files;
    for (int n = 1;; ++n) {
        const std::string prefix = std::to_string(n) + "-";
        bool found = false;
        for (const auto& entry : std::filesystem::directory_iterator(archivePath())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(prefix, 0) == 0) {
                const std::string from = archivePath() + "/" + std::to_string(n) + ".from";
                files.push_back(
                    {name.substr(prefix.size()), fileBytes(entry.path()), fileBytes(from)});
                found = true;
                break;
            }
        }
        if (!found)
            return files;
    }
}

void FtpServer::clearLog() const
{
    writeFileBytes(logPath(), "");
}

void FtpServer::restart()
{
    process_.reset();
    start();
}

void FtpServer::replaceCertificate(const std::string& certificateFile)
{
    options_.certificateFile = certificateFile;
    restart();
}

void FtpServer::start()
{
    // The port is 0 at the first start (the server picks one); a restart takes the same again.
    std::vector<std::string> argv = {"/usr/bin/python3",
                                     FTP_SERVER_SCRIPT,
                                     "--port",
                                     std::to_string(port_),
                                     "--root",
                                     root(),
                                     "--log",
                                     logPath()};
    if (options_.keepEveryVersion)
        argv.insert(argv.end(), {"--archive", archivePath()});
    if (!options_.user.empty())
        argv.insert(argv.end(), {"--user", options_.user, "--password", options_.password});
    if (options_.refusePassive)
        argv.push_back("--no-passive");
    if (options_.stallAfterBytes >= 0)
        argv.insert(argv.end(), {"--stall-after", std::to_string(options_.stallAfterBytes)});
    if (options_.refuseRenameOver)
        argv.push_back("--no-rename-over");
    if (options_.refuseRename)
        argv.push_back("--no-rename");
    if (options_.refuseDelete)
        argv.push_back("--no-delete");
    if (!options_.pwdReply.empty()) {
        argv.push_back("--pwd-reply");
        argv.push_back(options_.pwdReply);
    }
    if (options_.replyDelayMs > 0) {
        argv.push_back("--reply-delay-ms");
        argv.push_back(std::to_string(options_.replyDelayMs));
    }
    if (options_.cutUploads)
        argv.push_back("--cut-uploads");
    if (options_.idleTimeoutSeconds > 0)
        argv.insert(argv.end(), {"--idle-timeout", std::to_string(options_.idleTimeoutSeconds)});
    if (options_.tls != FtpServerTls::None)
        argv.insert(argv.end(),
                    {"--tls", options_.tls == FtpServerTls::Explicit ? "explicit" : "implicit",
                     "--cert", options_.certificateFile});
    const std::string output = folder_.path() + "/server" + std::to_string(++starts_) + ".out";
    process_ =
        std::make_unique<LaunchedProgram>(argv, std::map<std::string, std::string>{}, output);
    port_ = waitForAnnouncedPort(*process_, output);
}

} // namespace velmora::test

#pragma once
// A real FTP server for tests (scripts/ftp_server.py on Debian's python3-pyftpdlib), listening
// on 127.0.0.1 on a free port with a fresh root folder, and a record of every command it got.

#include "support/launched_program.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

inline std::string fileBytes(const std::string& path)
{
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

// The repository's top folder, found from this header's own place.
inline std::string repositoryFolder()
{
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

// Waits (bounded) until a helper has printed "PORT <n>" into its output file.
inline int waitForAnnouncedPort(LaunchedProgram& process, const std::string& outputFile)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        std::istringstream in(fileBytes(outputFile));
        for (std::string line; std::getline(in, line);)
            if (line.rfind("PORT ", 0) == 0)
                return std::stoi(line.substr(5));
        if (!process.running())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    throw std::runtime_error("helper server did not start: " + fileBytes(outputFile));
}

struct FtpServerOptions {
    std::string user; // empty: anonymous logins only
    std::string password;
    bool refusePassive = false;    // EPSV and PASV answered 502
    long stallAfterBytes = -1;     // >= 0: the server stops answering once an upload sent this much
    bool refuseRenameOver = false; // RNTO onto an existing name answered 550
    bool refuseRename = false;     // RNFR and RNTO answered 502
};

// One complete file as it arrived under its name: by an upload, or by a rename onto that name.
struct StoredFile {
    std::string name; // the file name without its folder
    std::string bytes;
    std::string renamedFrom; // the old name without its folder, for a rename; empty for an upload
};

class FtpServer {
public:
    explicit FtpServer(FtpServerOptions options = {}) : options_(std::move(options))
    {
        std::filesystem::create_directory(root());
        std::filesystem::create_directory(archivePath());
        start();
    }

    int port() const { return port_; }
    // What the presenter would type as the server name.
    std::string serverName() const { return "127.0.0.1:" + std::to_string(port_); }
    // The folder the FTP accounts start in, without a trailing "/".
    std::string root() const { return folder_.path() + "/root"; }
    std::string file(const std::string& relative) const
    {
        return fileBytes(root() + "/" + relative);
    }
    bool exists(const std::string& relative) const
    {
        return std::filesystem::exists(root() + "/" + relative);
    }

    // Every command line received so far, plus "STORED <path> <bytes>" after each upload and
    // "RENAMED <from> <to>" after each rename.
    std::vector<std::string> log() const
    {
        std::vector<std::string> lines;
        std::istringstream in(fileBytes(logPath()));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // Only the lines that begin with one of the given words, e.g. {"STOR", "TYPE"}.
    std::vector<std::string> log(const std::vector<std::string>& words) const
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
    // Every complete upload and every rename so far, in order, with the bytes the file had then.
    std::vector<StoredFile> stored() const
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
    void clearLog() const
    {
        if (std::FILE* f = std::fopen(logPath().c_str(), "w"))
            std::fclose(f);
    }

    // The server goes away; its port then refuses connections until restart().
    void stop() { process_.reset(); }
    void restart()
    {
        process_.reset();
        start();
    }

private:
    std::string logPath() const { return folder_.path() + "/commands.log"; }
    std::string archivePath() const { return folder_.path() + "/archive"; }

    void start()
    {
        std::vector<std::string> argv = {"/usr/bin/python3",
                                         repositoryFolder() + "/scripts/ftp_server.py",
                                         "--port",
                                         std::to_string(port_),
                                         "--root",
                                         root(),
                                         "--log",
                                         logPath(),
                                         "--archive",
                                         archivePath()};
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
        const std::string output = folder_.path() + "/server" + std::to_string(++starts_) + ".out";
        process_ =
            std::make_unique<LaunchedProgram>(argv, std::map<std::string, std::string>{}, output);
        port_ = waitForAnnouncedPort(*process_, output);
    }

    FtpServerOptions options_;
    TemporaryFolder folder_;
    std::unique_ptr<LaunchedProgram> process_;
    int port_ = 0;
    int starts_ = 0;
};

} // namespace velmora::test

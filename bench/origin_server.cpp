#include "origin_server.h"

#include "support/file_bytes.h"    // tests/support
#include "support/loopback_port.h" // tests/support

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace velmora::bench {
namespace {

std::string module(const std::string& name)
{
    return "LoadModule " + name + "_module /usr/lib/apache2/modules/mod_" + name + ".so\n";
}

// Apache refuses to serve as root; www-data is Debian's own user for it.
const passwd* serviceUser()
{
    if (const passwd* user = ::getpwnam("www-data"))
        return user;
    return ::getpwnam("nobody");
}

} // namespace

OriginServer::OriginServer(const std::string& documentRoot, int lifetimeSeconds)
    : documentRoot_(std::filesystem::canonical(documentRoot).string())
{
    // A free port may be taken by someone else before Apache binds it: try a few.
    for (int attempt = 0; attempt < 5 && port_ == 0; ++attempt)
        start(test::freeLocalPort(), attempt, lifetimeSeconds);
}

OriginServer::~OriginServer()
{
    stop();
}

std::string OriginServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string OriginServer::errorLog() const
{
    return test::fileBytes(folder_.path() + "/error.log");
}

std::uintmax_t OriginServer::logMark() const
{
    std::error_code missing;
    const auto size = std::filesystem::file_size(accessLog(), missing);
    return missing ? 0 : size;
}

OriginTally OriginServer::tally(std::uintmax_t from, std::uintmax_t to) const
{
    OriginTally tally;
    std::ifstream log(accessLog(), std::ios::binary);
    log.seekg(static_cast<std::streamoff>(from));
    std::string part(to > from ? to - from : 0, '\0');
    log.read(part.data(), static_cast<std::streamsize>(part.size()));
    part.resize(static_cast<std::size_t>(log.gcount()));
    std::istringstream lines(part);
    // "<status> <bytes or -> <path and query>"
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string status, bytes, address;
        if (!(fields >> status >> bytes >> address))
            continue;
        ++tally.requests;
        if (bytes != "-")
            tally.bytes += std::strtoull(bytes.c_str(), nullptr, 10);
        const std::string path = address.substr(0, address.find('?'));
        if (path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0)
            ++tally.pictureRequests;
        else if (path == "/Velmora.htm")
            ++tally.pageRequests;
    }
    return tally;
}

bool OriginServer::start(int port, int attempt, int lifetimeSeconds)
{
    const std::string& f = folder_.path();
    const std::string conf = f + "/httpd" + std::to_string(attempt) + ".conf";
    std::string text;
    text += "ServerRoot \"" + f + "\"\n";
    text += "DefaultRuntimeDir \"" + f + "\"\n";
    text += "PidFile \"" + f + "/httpd.pid\"\n";
    text += "ErrorLog \"" + f + "/error.log\"\n";
    text += "LogLevel warn\n";
    text += "LogFormat \"%>s %B %U%q\" origin\n";
    text += "CustomLog \"" + accessLog() + "\" origin\n";
    text += "Listen 127.0.0.1:" + std::to_string(port) + "\n";
    text += "ServerName 127.0.0.1\n";
    text += module("mpm_event") + module("authz_core") + module("mime") + module("dir");
    // Enough threads that a thousand spectators with a connection each are served, not queued.
    text += "StartServers 2\nServerLimit 16\nThreadsPerChild 64\nMaxRequestWorkers 1024\n"
            "MinSpareThreads 64\nMaxSpareThreads 1024\nListenBacklog 4096\n";
    text += "KeepAlive On\nKeepAliveTimeout 5\nMaxKeepAliveRequests 0\n";
    if (::geteuid() == 0)
        if (const passwd* user = serviceUser())
            text += "User " + std::string(user->pw_name) + "\nGroup #" +
                    std::to_string(user->pw_gid) + "\n";
    text += "TypesConfig /etc/mime.types\n";
    text += "DirectoryIndex index.htm\n";
    text += "DocumentRoot \"" + documentRoot_ + "\"\n";
    text += "<Directory />\n  AllowOverride None\n  Require all denied\n</Directory>\n";
    text += "<Directory \"" + documentRoot_ +
            "\">\n  AllowOverride None\n  Require all granted\n</Directory>\n";
    std::ofstream(conf, std::ios::binary) << text;

    // Under timeout, which gives it a process group of its own (Apache signals its whole group
    // when it stops) and ends it should this process die first. SIGTERM to timeout reaches Apache.
    process_ = std::make_unique<test::LaunchedProgram>(
        std::vector<std::string>{"timeout", "--kill-after=5", std::to_string(lifetimeSeconds),
                                 "/usr/sbin/apache2", "-DFOREGROUND", "-f", conf},
        std::map<std::string, std::string>{{"APACHE_RUN_DIR", f}}, f + "/apache.out");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline && process_->running()) {
        if (test::acceptsConnections(port)) {
            port_ = port;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop();
    return false;
}

void OriginServer::stop()
{
    if (!process_)
        return;
    // A graceful stop lets the parent end its children; only a hung one is killed.
    process_->kill(SIGTERM);
    process_->waitFor(std::chrono::seconds(10));
    process_.reset();
}

} // namespace velmora::bench

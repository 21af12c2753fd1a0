#pragma once
// A real Apache for tests: `apache2 -DFOREGROUND -f <private httpd.conf>` on 127.0.0.1 with a
// free port, serving a given document root with `AllowOverride AuthConfig` (so the login files
// in a directory take effect), stopped by the test. Plus a small HTTP client on libcurl.

#include "support/file_bytes.h"
#include "support/launched_program.h"
#include "support/loopback_port.h"
#include "support/temporary_folder.h"

#include <curl/curl.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <pwd.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>

namespace velmora::test {

// The status code of a GET, or 0 when no answer came. credentials is "user:password" or empty
// for a request without login.
inline long httpStatus(const std::string& url, const std::optional<std::string>& credentials = {})
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!ready)
        return 0;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy(curl_easy_init(), &curl_easy_cleanup);
    if (!easy)
        return 0;
    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, 20L);
    curl_easy_setopt(
        h, CURLOPT_WRITEFUNCTION,
        +[](char*, size_t size, size_t count, void*) { return size * count; });
    if (credentials) {
        curl_easy_setopt(h, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(h, CURLOPT_USERPWD, credentials->c_str());
    }
    if (curl_easy_perform(h) != CURLE_OK)
        return 0;
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

class ApacheServer {
public:
    // documentRoot must exist. When the tests run as root, Apache serves as an unprivileged user
    // (it refuses to serve as root), so folders the test made privately must be opened to it.
    explicit ApacheServer(const std::string& documentRoot)
        : documentRoot_(std::filesystem::canonical(documentRoot).string())
    {
        // A free port may be taken by someone else before Apache binds it: try a few.
        for (int attempt = 0; attempt < 5 && port_ == 0; ++attempt)
            start(freeLocalPort(), attempt);
        if (port_ == 0)
            throw std::runtime_error("Apache did not start: " + errorLog());
    }

    ~ApacheServer() { stop(); }
    ApacheServer(const ApacheServer&) = delete;
    ApacheServer& operator=(const ApacheServer&) = delete;

    int port() const { return port_; }
    // path begins with "/".
    std::string url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::string errorLog() const { return fileBytes(folder_.path() + "/error.log"); }

    // A graceful stop lets the parent end its children; only a hung one is killed.
    void stop()
    {
        if (!process_)
            return;
        process_->kill(SIGTERM);
        process_->waitFor(std::chrono::seconds(10));
        process_.reset();
    }

    // Runs as this user when the tests run as root.
    static std::string serviceUser()
    {
        return ::getpwnam("www-data") != nullptr ? "www-data" : "nobody";
    }
    static bool runningAsRoot() { return ::geteuid() == 0; }
    // A private folder of the test (mkdtemp makes it 0700) that Apache's unprivileged user must
    // pass through to reach the document root below it.
    static void letServiceUserThrough(const std::string& folder)
    {
        if (runningAsRoot())
            std::filesystem::permissions(folder, std::filesystem::perms::others_exec,
                                         std::filesystem::perm_options::add);
    }

private:
    static std::string module(const std::string& name)
    {
        return "LoadModule " + name + "_module /usr/lib/apache2/modules/mod_" + name + ".so\n";
    }

    void writeConfig(const std::string& path, int port) const
    {
        const std::string& f = folder_.path();
        std::string conf;
        conf += "ServerRoot \"" + f + "\"\n";
        conf += "DefaultRuntimeDir \"" + f + "\"\n";
        conf += "PidFile \"" + f + "/httpd.pid\"\n";
        conf += "ErrorLog \"" + f + "/error.log\"\n";
        conf += "LogLevel warn\n";
        conf += "Listen 127.0.0.1:" + std::to_string(port) + "\n";
        conf += "ServerName 127.0.0.1\n";
        conf += module("mpm_prefork") + module("authn_core") + module("authn_file") +
                module("auth_basic") + module("authz_core") + module("authz_user") +
                module("mime") + module("dir");
        conf += "StartServers 1\nMinSpareServers 1\nMaxSpareServers 2\n";
        if (runningAsRoot())
            conf += "User " + serviceUser() + "\nGroup #" +
                    std::to_string(::getpwnam(serviceUser().c_str())->pw_gid) + "\n";
        conf += "TypesConfig /etc/mime.types\n";
        conf += "DirectoryIndex index.htm\n";
        conf += "DocumentRoot \"" + documentRoot_ + "\"\n";
        conf += "<Directory />\n  AllowOverride None\n  Require all denied\n</Directory>\n";
        conf += "<Directory \"" + documentRoot_ +
                "\">\n  AllowOverride AuthConfig\n"
                "  Require all granted\n</Directory>\n";
        // As every Apache set-up does: the login files themselves are never served.
        conf += "<FilesMatch \"^\\.ht\">\n  Require all denied\n</FilesMatch>\n";
        std::ofstream(path, std::ios::binary) << conf;
    }

    void start(int port, int attempt)
    {
        const std::string conf = folder_.path() + "/httpd" + std::to_string(attempt) + ".conf";
        writeConfig(conf, port);
        // Under timeout, which gives it a process group of its own (when Apache stops it signals
        // its whole group, which would otherwise be the test's) and ends it should the test be
        // killed before it could stop it. SIGTERM to timeout reaches Apache.
        process_ = std::make_unique<LaunchedProgram>(
            std::vector<std::string>{"timeout", "--kill-after=5", "300", "/usr/sbin/apache2",
                                     "-DFOREGROUND", "-f", conf},
            std::map<std::string, std::string>{{"APACHE_RUN_DIR", folder_.path()}},
            folder_.path() + "/apache.out");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            if (!process_->running())
                break;
            if (acceptsConnections(port)) {
                port_ = port;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        stop();
    }

    std::string documentRoot_;
    TemporaryFolder folder_;
    std::unique_ptr<LaunchedProgram> process_;
    int port_ = 0;
};

} // namespace velmora::test

#include "caching_proxy.h"

#include "support/file_bytes.h"    // tests/support
#include "support/loopback_port.h" // tests/support

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

namespace velmora::bench {

CachingProxy::CachingProxy(int originPort, int lifetimeSeconds)
{
    for (int attempt = 0; attempt < 5 && port_ == 0; ++attempt)
        start(originPort, test::freeLocalPort(), attempt, lifetimeSeconds);
}

CachingProxy::~CachingProxy()
{
    stop();
}

std::string CachingProxy::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string CachingProxy::errorLog() const
{
    return test::fileBytes(prefix_.path() + "/error.log");
}

bool CachingProxy::start(int originPort, int port, int attempt, int lifetimeSeconds)
{
    const std::string& p = prefix_.path();
    const std::string origin = "http://127.0.0.1:" + std::to_string(originPort);
    const std::string conf = p + "/nginx" + std::to_string(attempt) + ".conf";
    std::string text;
    // The cache and temporary folders are this process's private ones: a worker running as root
    // reaches them, www-data would not.
    if (::geteuid() == 0)
        text += "user root;\n";
    text += "worker_processes auto;\n";
    text += "pid " + p + "/nginx.pid;\n";
    text += "error_log " + p + "/error.log warn;\n";
    text += "events { worker_connections 8192; }\n";
    text += "http {\n";
    text += "  access_log off;\n";
    for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        text += "  " + std::string(temp) + "_temp_path " + p + "/" + temp + "_temp;\n";
    text += "  proxy_cache_path " + p +
            "/cache levels=1:2 keys_zone=spectators:10m max_size=1g inactive=10m "
            "use_temp_path=off;\n";
    text += "  server {\n";
    text += "    listen 127.0.0.1:" + std::to_string(port) + ";\n";
    text += "    proxy_cache spectators;\n";
    text += "    proxy_cache_key $scheme$proxy_host$request_uri;\n";
    text += "    proxy_cache_lock on;\n";
    text += "    location ~ \\.htm$ {\n      proxy_pass " + origin +
            ";\n      proxy_cache_valid 200 1s;\n    }\n";
    text += "    location / {\n      proxy_pass " + origin +
            ";\n      proxy_cache_valid 200 10m;\n    }\n";
    text += "  }\n}\n";
    std::ofstream(conf, std::ios::binary) << text;

    // Under timeout, which gives it a process group of its own and ends it should this process
    // die first.
    process_ = std::make_unique<test::LaunchedProgram>(
        std::vector<std::string>{"timeout", "--kill-after=5", std::to_string(lifetimeSeconds),
                                 "/usr/sbin/nginx", "-p", p + "/", "-c", conf, "-e",
                                 p + "/error.log", "-g", "daemon off;"},
        std::map<std::string, std::string>{}, p + "/nginx.out");
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

void CachingProxy::stop()
{
    if (!process_)
        return;
    process_->kill(SIGTERM);
    process_->waitFor(std::chrono::seconds(10));
    process_.reset();
}

} // namespace velmora::bench

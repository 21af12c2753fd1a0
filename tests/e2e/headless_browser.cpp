#include "e2e/headless_browser.h"

#include "e2e/json_text.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

// Chromium reads its commands from descriptor 3 and writes replies to 4. The pipe ends are
// moved above both first, so that putting them in place never meets an end already there.
int movedAboveFour(int fd)
{
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
    ::close(fd);
    return moved;
}

std::vector<std::string> browserEnvironment(const std::string& home)
{
    std::map<std::string, std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos)
            merged[text.substr(0, equals)] = text.substr(equals + 1);
    }
    merged["HOME"] = home;
    merged["XDG_CONFIG_HOME"] = home + "/config";
    merged["XDG_CACHE_HOME"] = home + "/cache";
    merged.erase("DISPLAY"); // headless: it must not open a window on any screen
    std::vector<std::string> texts;
    for (const auto& [name, value] : merged)
        texts.push_back(name + "=" + value);
    return texts;
}

} // namespace

HeadlessBrowser::HeadlessBrowser(int viewportWidth, int viewportHeight)
{
    int commands[2];
    int replies[2];
    if (::pipe(commands) != 0 || ::pipe(replies) != 0)
        throw std::runtime_error("no pipe for the browser");
    const int commandRead = movedAboveFour(commands[0]);
    toBrowser_ = movedAboveFour(commands[1]);
    fromBrowser_ = movedAboveFour(replies[0]);
    const int replyWrite = movedAboveFour(replies[1]);

    std::vector<std::string> args = {"/usr/bin/chromium",
                                     "--headless",
                                     "--no-sandbox",
                                     "--disable-gpu",
                                     "--disable-quic",
                                     "--no-first-run",
                                     "--disable-background-networking",
                                     "--disable-component-update",
                                     "--disable-sync",
                                     "--hide-scrollbars",
                                     "--user-data-dir=" + profile_.path() + "/profile",
                                     "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1",
                                     "--window-size=" + std::to_string(viewportWidth) + "," +
                                         std::to_string(viewportHeight),
                                     "--remote-debugging-pipe",
                                     "about:blank"};
    std::vector<char*> argv;
    for (auto& text : args)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    auto envTexts = browserEnvironment(profile_.path());
    std::vector<char*> envp;
    for (auto& text : envTexts)
        envp.push_back(text.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = profile_.path() + "/browser.out";
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_adddup2(&actions, commandRead, 3);
    posix_spawn_file_actions_adddup2(&actions, replyWrite, 4);
    // A process group of its own: the browser's helpers can be ended with it, and nothing else.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int result =
        ::posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(commandRead);
    ::close(replyWrite);
    if (result != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start chromium");
    }

    try {
        openPage(viewportWidth, viewportHeight);
    } catch (...) {
        // The destructor does not run for an object that was never made: end the browser here.
        shutDown();
        throw;
    }
}

void HeadlessBrowser::openPage(int viewportWidth, int viewportHeight)
{
    const std::string target = call("Target.createTarget", R"({"url":"about:blank"})", false);
    const std::string targetId = jsonStringField(target, "targetId");
    const std::string attached =
        call("Target.attachToTarget",
             R"({"targetId":)" + jsonQuoted(targetId) + R"(,"flatten":true})", false);
    session_ = jsonStringField(attached, "sessionId");
    if (session_.empty())
        throw std::runtime_error("the browser gave no page: " + output());
    call("Emulation.setDeviceMetricsOverride",
         R"({"width":)" + std::to_string(viewportWidth) + R"(,"height":)" +
             std::to_string(viewportHeight) + R"(,"deviceScaleFactor":1,"mobile":false})",
         true);
}

HeadlessBrowser::~HeadlessBrowser()
{
    shutDown();
}

void HeadlessBrowser::shutDown()
{
    if (pid_ > 0) {
        call("Browser.close", "{}", false);
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (::waitpid(pid_, &status, WNOHANG) == 0 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        // Whatever is left of the browser's own process group.
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    for (int* fd : {&toBrowser_, &fromBrowser_})
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
}

bool HeadlessBrowser::open(const std::string& url)
{
    const std::string reply = call("Page.navigate", R"({"url":)" + jsonQuoted(url) + "}", true);
    return !reply.empty() && reply.find(R"("errorText")") == std::string::npos;
}

std::string HeadlessBrowser::evaluate(const std::string& expression)
{
    const std::string reply =
        call("Runtime.evaluate",
             R"({"expression":)" + jsonQuoted(expression) + R"(,"returnByValue":true})", true);
    if (reply.find(R"("exceptionDetails")") != std::string::npos)
        return {};
    return jsonStringField(reply, "value");
}

RgbPicture HeadlessBrowser::screenshot()
{
    const std::string reply = call("Page.captureScreenshot", R"({"format":"png"})", true);
    const std::string png = base64Decoded(jsonStringField(reply, "data"));
    const std::string file = profile_.path() + "/screenshot.png";
    if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
        std::fwrite(png.data(), 1, png.size(), out);
        std::fclose(out);
    }
    return readPng(file);
}

std::string HeadlessBrowser::output() const
{
    std::ifstream in(profile_.path() + "/browser.out", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string HeadlessBrowser::call(const std::string& method, const std::string& params, bool inPage)
{
    const int id = ++lastId_;
    std::string message =
        R"({"id":)" + std::to_string(id) + R"(,"method":")" + method + R"(","params":)" + params;
    if (inPage)
        message += R"(,"sessionId":)" + jsonQuoted(session_);
    message += '}';
    message += '\0';
    for (std::size_t sent = 0; sent < message.size();) {
        const ssize_t n = ::write(toBrowser_, message.data() + sent, message.size() - sent);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return {};
        sent += static_cast<std::size_t>(n);
    }
    // Events come in between; the reply is the message that starts with this command's id.
    const std::string start = R"({"id":)" + std::to_string(id) + ",";
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    for (;;) {
        const std::string reply = nextMessage(deadline);
        if (reply.empty() || reply.rfind(start, 0) == 0)
            return reply;
    }
}

std::string HeadlessBrowser::nextMessage(std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto end = received_.find('\0');
        if (end != std::string::npos) {
            std::string message = received_.substr(0, end);
            received_.erase(0, end + 1);
            return message;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return {};
        pollfd waiting{fromBrowser_, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return {};
        char buffer[65536];
        const ssize_t n = ::read(fromBrowser_, buffer, sizeof buffer);
        if (n <= 0)
            return {};
        received_.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace velmora::test

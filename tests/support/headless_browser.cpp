#include "support/headless_browser.h"

#include "support/file_bytes.h"
#include "support/json_text.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

// Both ends of a pipe, closed on every way out unless handed on.
struct Pipe {
    Pipe()
    {
        if (::pipe2(ends, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe for the browser");
    }
    ~Pipe()
    {
        for (const int end : ends)
            if (end >= 0)
                ::close(end);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    int release(int which)
    {
        const int end = ends[which];
        ends[which] = -1;
        return end;
    }

    int ends[2] = {-1, -1}; // read, write
};

} // namespace

HeadlessBrowser::HeadlessBrowser(int viewportWidth, int viewportHeight)
{
    {
        Pipe commands;
        Pipe replies;
        // Chromium reads its commands from descriptor 3 and writes its replies to 4.
        chromium_ = std::make_unique<HeadlessChromium>(
            viewportWidth, viewportHeight,
            std::vector<std::string>{"--remote-debugging-pipe", "about:blank"},
            std::map<int, int>{{3, commands.ends[0]}, {4, replies.ends[1]}});
        toBrowser_ = commands.release(1);
        fromBrowser_ = replies.release(0);
    } // the browser's ends close here: should it die, reading its replies ends at once
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
    resize(viewportWidth, viewportHeight);
}

bool HeadlessBrowser::resize(int viewportWidth, int viewportHeight, bool phone)
{
    const std::string reply =
        call("Emulation.setDeviceMetricsOverride",
             R"({"width":)" + std::to_string(viewportWidth) + R"(,"height":)" +
                 std::to_string(viewportHeight) + R"(,"deviceScaleFactor":1,"mobile":)" +
                 (phone ? "true" : "false") + "}",
             true);
    return !reply.empty() && reply.find(R"("error")") == std::string::npos;
}

bool HeadlessBrowser::click(int x, int y)
{
    const std::string at = R"("x":)" + std::to_string(x) + R"(,"y":)" + std::to_string(y) +
                           R"(,"button":"left","clickCount":1})";
    for (const char* type : {"mousePressed", "mouseReleased"}) {
        const std::string reply = call("Input.dispatchMouseEvent",
                                       R"({"type":")" + std::string(type) + R"(",)" + at, true);
        if (reply.empty() || reply.find(R"("error")") != std::string::npos)
            return false;
    }
    return true;
}

HeadlessBrowser::~HeadlessBrowser()
{
    shutDown();
}

void HeadlessBrowser::shutDown()
{
    if (chromium_) {
        call("Browser.close", "{}", false);
        chromium_->process().waitFor(5s);
        chromium_.reset(); // whatever is left of the browser's own process group
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

PngPixels HeadlessBrowser::screenshot()
{
    const std::string reply = call("Page.captureScreenshot", R"({"format":"png"})", true);
    const std::string file = chromium_->file("screenshot.png");
    writeFileBytes(file, base64Decoded(jsonStringField(reply, "data")));
    return decodePng(file).value_or(PngPixels{});
}

std::string HeadlessBrowser::output() const
{
    return chromium_ ? chromium_->output() : std::string();
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

#pragma once
// A spectator: headless Chromium that keeps one page open for as long as this object lives, so
// a test can watch the page change over time. It is driven through Chromium's DevTools protocol
// on a pipe (no network port).

#include "support/headless_chromium.h"
#include "support/png_file.h"

#include <chrono>
#include <memory>
#include <string>

namespace velmora::test {

class HeadlessBrowser {
public:
    HeadlessBrowser(int viewportWidth, int viewportHeight);
    ~HeadlessBrowser(); // closes the browser; kills what is left of it
    HeadlessBrowser(const HeadlessBrowser&) = delete;
    HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

    // Starts loading the address in the open page.
    bool open(const std::string& url);
    // The window takes a new size, as when the spectator resizes it. A phone's screen lays out
    // pages as phones do: at a desktop width unless the page asks for the screen's own.
    bool resize(int viewportWidth, int viewportHeight, bool phone = false);
    // A left click at a point of the window, as the spectator's mouse makes it.
    bool click(int x, int y);
    // The value of a script expression that gives a text; empty when it fails or gives none.
    std::string evaluate(const std::string& expression);
    // What the page shows now, at one picture pixel per CSS pixel; no pixels when none came.
    PngPixels screenshot();
    // What the browser printed, for failure messages.
    std::string output() const;

private:
    void openPage(int viewportWidth, int viewportHeight);
    void shutDown();
    // Sends one command (to the page when inPage) and returns the whole reply, or empty text
    // when none came in time.
    std::string call(const std::string& method, const std::string& params, bool inPage);
    std::string nextMessage(std::chrono::steady_clock::time_point deadline);

    int toBrowser_ = -1;
    int fromBrowser_ = -1;
    std::unique_ptr<HeadlessChromium> chromium_;
    std::string received_;
    int lastId_ = 0;
    std::string session_;
};

} // namespace velmora::test

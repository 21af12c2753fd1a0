#pragma once
// What a capture benchmark stands on: Qt in this process drawing off screen (the screen content
// and the caption line need its fonts), and a private Xvfb of the benchmark's size showing the
// content to capture.

#include "support/qt_test_screen.h"  // tests/support
#include "support/virtual_display.h" // tests/support

#include "png/rgb_picture.h"

#include <QGuiApplication>

#include <cstdio>

namespace velmora::bench {

class BenchScreen {
public:
    // content: draws the screen's picture of the given size, once Qt is there to draw it.
    BenchScreen(int width, int height, char* programName, RgbPicture (*content)(int, int));
    BenchScreen(const BenchScreen&) = delete;
    BenchScreen& operator=(const BenchScreen&) = delete;

    // False when Xvfb did not start, which has been said on standard error.
    bool running() const { return display_.running(); }
    test::VirtualDisplay& display() { return display_; }

private:
    test::QtTestScreen qtScreen_; // first: Qt reads it when the application is made
    int argc_ = 1;
    char* argv_[2];
    QGuiApplication application_;
    test::VirtualDisplay display_;
};

// A screen size as given on the command line ("1920x1080"); false for anything else or a screen
// smaller than 640 x 480.
inline bool readScreenSize(const char* text, int& width, int& height)
{
    char end = 0;
    return std::sscanf(text, "%dx%d%c", &width, &height, &end) == 2 && width >= 640 &&
           height >= 480;
}

} // namespace velmora::bench

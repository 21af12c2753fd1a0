#pragma once
// A presenter's screen with a text document scrolling without pause: the editor's bars stay, the
// page of varied words moves up one text line at a time. The page is drawn once, tall enough that
// no screen repeats within a benchmark round; each screen is then a copy. Deterministic, so runs
// compare.

#include "png/rgb_picture.h"

namespace velmora::bench {

class ScrollingDocument {
public:
    // Needs a QGuiApplication (fonts).
    ScrollingDocument(int width, int height);

    // The screen after `lines` text lines of scrolling (wraps around after the page's end).
    RgbPicture screen(int lines) const;
    int lineHeight() const { return lineHeight_; }

private:
    int width_;
    int height_;
    int lineHeight_ = 0;
    RgbPicture chrome_{0, 0}; // the whole screen with an empty page
    RgbPicture page_{0, 0};   // the text, as wide as the page window
    int pageTop_ = 0;         // where the page window starts on the screen
    int pageBottom_ = 0;      // first row below it
};

// The screen after no scrolling, for callers that take a drawing function.
RgbPicture scrollingDocumentContent(int width, int height);

} // namespace velmora::bench

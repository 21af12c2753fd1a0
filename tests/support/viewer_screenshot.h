#pragma once
// What a spectator's browser shows of the presentation: where the viewer page put the picture of
// the presenter's screen, and the screenshot, so that screen pixels can be looked up in it.

#include "support/coloured_window.h"
#include "support/headless_browser.h"

#include <cstdlib>
#include <sstream>
#include <string>

namespace velmora::test {

struct SpectatorView {
    bool hasPicture = false;
    int pictureWidth = 0; // the picture's own size in pixels
    int pictureHeight = 0;
    int left = 0; // where its top left corner is in the screenshot
    int top = 0;
    int shownWidth = 0; // its size there: smaller when the viewer fitted it to the window
    int shownHeight = 0;
    int counter = -1; // the upload count the shown picture came with
    PngPixels shot;

    // The colour of a pixel of the presenter's screen as the spectator sees it.
    bool screenPixelIs(int x, int y, const Colour& colour) const
    {
        if (!hasPicture || x < 0 || y < 0 || x >= pictureWidth || y >= pictureHeight)
            return false;
        const int sx =
            left + static_cast<int>(static_cast<long long>(x) * shownWidth / pictureWidth);
        const int sy =
            top + static_cast<int>(static_cast<long long>(y) * shownHeight / pictureHeight);
        if (sx < 0 || sy < 0 || sx >= shot.width || sy >= shot.height)
            return false;
        const std::uint8_t* p = shot.at(sx, sy);
        return std::abs(p[0] - colour.red) <= 12 && std::abs(p[1] - colour.green) <= 12 &&
               std::abs(p[2] - colour.blue) <= 12;
    }

    // The area shows the colour right up to its edges, and the screen around it does not.
    bool showsArea(const ScreenArea& area, const Colour& colour) const
    {
        const int right = area.left + area.width - 1;
        const int bottom = area.top + area.height - 1;
        const int midX = area.left + area.width / 2;
        const int midY = area.top + area.height / 2;
        return screenPixelIs(area.left, area.top, colour) && screenPixelIs(right, bottom, colour) &&
               screenPixelIs(midX, midY, colour) && !screenPixelIs(area.left - 1, midY, colour) &&
               !screenPixelIs(right + 1, midY, colour) &&
               !screenPixelIs(midX, area.top - 1, colour) &&
               !screenPixelIs(midX, bottom + 1, colour);
    }
};

// Where the viewer page shows its picture, and the picture's address, which is new for every
// picture it swaps in; empty while it shows none.
inline std::string shownPictureFacts(HeadlessBrowser& browser)
{
    return browser.evaluate(
        "(function () {"
        "  var p = document.getElementById('velmoraPicture');"
        "  if (!p) return '';"
        "  var r = p.getBoundingClientRect();"
        "  return [p.naturalWidth, p.naturalHeight, Math.round(r.left), Math.round(r.top),"
        "          Math.round(r.width), Math.round(r.height), p.getAttribute('data-counter'),"
        "          p.src].join(' ');"
        "})()");
}

// The viewer swaps in a newer picture whenever one has loaded, also between reading which
// picture it shows and taking the screenshot: the screenshot would then show a newer picture
// than the counter says. A view counts only when the same picture was shown before and after
// the screenshot; otherwise it has no picture, and the caller looks again.
inline SpectatorView lookAt(HeadlessBrowser& browser)
{
    SpectatorView view;
    const std::string facts = shownPictureFacts(browser);
    view.shot = browser.screenshot();
    if (facts.empty() || shownPictureFacts(browser) != facts)
        return view;
    std::istringstream in(facts);
    view.hasPicture =
        static_cast<bool>(in >> view.pictureWidth >> view.pictureHeight >> view.left >> view.top >>
                          view.shownWidth >> view.shownHeight >> view.counter) &&
        view.pictureWidth > 0 && view.pictureHeight > 0;
    return view;
}

} // namespace velmora::test

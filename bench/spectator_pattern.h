#pragma once
// What a spectator's browser asks the web server for, as the viewer script does it: the data
// page every refresh interval, and a picture only when the data page names a picture the
// spectator does not have yet. Two generations of the script: the one before the pages could be
// cached, which made every address unique, and the one whose addresses all spectators share
// (the data page per refresh interval, a picture per content).

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::bench {

enum class ViewerPattern {
    Shared, // "Velmora.htm?i=<interval number>", "Velmora<n>.png?c=<counter>-<time>"
    Unique, // "?t=<now ms>-<request count>" on every address
};

// The values of one complete data page.
struct DataPageReading {
    std::string picture; // iBild
    std::string counter; // iNr
    std::string time;    // iTime
    int mouseX = 0;
    int mouseY = 0;
    int refreshMs = 0;

    // Names the picture content: the viewer loads a picture only when this changes.
    std::string pictureKey() const { return picture + "|" + counter + "|" + time; }
};

// Nothing when the text is not a complete, well-formed data page (half uploaded, an error page).
std::optional<DataPageReading> parseDataPage(const std::string& text);

// The viewer's interval until it has read the first data page.
constexpr int kViewerStartRefreshMs = 2000;

// The viewer's interval: a tiny one from the settings does not hammer the server.
int viewerRefreshMs(int pageRefreshMs);

// Addresses relative to the presentation's folder. nowMs: the browser's clock (ms since the
// epoch); requestCount: the spectator's own running count, raised before each unique address.
std::string dataPageAddress(ViewerPattern pattern, std::int64_t nowMs, int refreshMs,
                            int requestCount);
std::string pictureAddress(ViewerPattern pattern, const DataPageReading& page, std::int64_t nowMs,
                           int requestCount);

} // namespace velmora::bench

#pragma once
// The small page uploaded after every picture as "Velmora.htm". The viewer page reloads it; it
// names the newest picture and tells its parent page that it has loaded.

#include <cstdint>
#include <string>

namespace velmora {

struct DataPageValues {
    std::int32_t pictureNumber = 0;
    std::string uploadTime; // "hh:mm:ss"
    std::int32_t uploadCounter = 0;
    std::string homepage; // Windows-1252, as the presenter typed it
    std::int32_t markerX = 0;
    std::int32_t markerY = 0;
    std::int32_t refreshMs = 0;
};

// The 48 lines, each ended by CR LF, Windows-1252, no byte-order mark.
std::string composeDataPage(const DataPageValues& values);

// Creates the file anew; false when it cannot be created or written completely.
bool writeDataPage(const std::string& path, const DataPageValues& values);

// text made safe inside a single-quoted script string of an HTML page: it can neither end the
// string nor the script element. Plain addresses come out unchanged.
std::string escapeForScriptString(const std::string& text);

} // namespace velmora

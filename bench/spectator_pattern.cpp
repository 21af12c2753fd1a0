#include "spectator_pattern.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <regex>

namespace velmora::bench {
namespace {

std::optional<std::string> quoted(const std::string& text, const char* name)
{
    const std::regex line(std::string("(^|\\n)") + name + " = '([^'\\r\\n]*)';");
    std::smatch match;
    if (!std::regex_search(text, match, line))
        return std::nullopt;
    return match[2].str();
}

std::optional<int> bare(const std::string& text, const char* name)
{
    const std::regex line(std::string("(^|\\n)") + name + " = (-?[0-9]{1,9});");
    std::smatch match;
    if (!std::regex_search(text, match, line))
        return std::nullopt;
    return std::atoi(match[2].str().c_str());
}

bool allDigits(const std::string& s, bool sign)
{
    const std::size_t from = sign && !s.empty() && s[0] == '-' ? 1 : 0;
    return s.size() > from && std::all_of(s.begin() + static_cast<std::ptrdiff_t>(from), s.end(),
                                          [](char c) { return c >= '0' && c <= '9'; });
}

// As JavaScript's encodeURIComponent does it for 7-bit text, which the time always is.
std::string uriComponent(const std::string& text)
{
    static const std::string kept = "-_.!~*'()";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) && byte < 0x80)
            out += c;
        else if (kept.find(c) != std::string::npos)
            out += c;
        else {
            static const char hex[] = "0123456789ABCDEF";
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
    }
    return out;
}

} // namespace

std::optional<DataPageReading> parseDataPage(const std::string& text)
{
    // The viewer takes a page as complete once its caption line has been written, which comes
    // after all the values.
    if (text.find("document.write('<SPAN") == std::string::npos)
        return std::nullopt;
    DataPageReading page;
    const auto picture = quoted(text, "iBild");
    const auto counter = quoted(text, "iNr");
    const auto time = quoted(text, "iTime");
    const auto site = quoted(text, "iSite");
    const auto x = bare(text, "iMouseX");
    const auto y = bare(text, "iMouseY");
    const auto refresh = bare(text, "iRefresh");
    if (!picture || !counter || !time || !site || !x || !y || !refresh)
        return std::nullopt;
    if (!allDigits(*picture, false) || !allDigits(*counter, true))
        return std::nullopt;
    page.picture = *picture;
    page.counter = *counter;
    page.time = *time;
    page.mouseX = *x;
    page.mouseY = *y;
    page.refreshMs = *refresh;
    return page;
}

int viewerRefreshMs(int pageRefreshMs)
{
    return std::max(250, pageRefreshMs);
}

std::string dataPageAddress(ViewerPattern pattern, std::int64_t nowMs, int refreshMs,
                            int requestCount)
{
    if (pattern == ViewerPattern::Unique)
        return "Velmora.htm?t=" + std::to_string(nowMs) + "-" + std::to_string(requestCount);
    return "Velmora.htm?i=" + std::to_string(nowMs / std::max(1, refreshMs));
}

std::string pictureAddress(ViewerPattern pattern, const DataPageReading& page, std::int64_t nowMs,
                           int requestCount)
{
    std::string address = "Velmora" + page.picture + ".png";
    if (pattern == ViewerPattern::Unique)
        return address + "?t=" + std::to_string(nowMs) + "-" + std::to_string(requestCount);
    std::string time = page.time;
    time.erase(std::remove(time.begin(), time.end(), ':'), time.end());
    return address + "?c=" + page.counter + "-" + uriComponent(time);
}

} // namespace velmora::bench

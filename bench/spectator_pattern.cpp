#include "spectator_pattern.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace velmora::bench {
namespace {

// The text after `name = ` at the start of a line, up to the end of that line; a thousand
// spectators read a page each every interval, so no regular expressions here.
std::optional<std::string> valueText(const std::string& text, const std::string& name)
{
    const std::string start = name + " = ";
    for (std::size_t at = text.find(start); at != std::string::npos;
         at = text.find(start, at + 1)) {
        if (at > 0 && text[at - 1] != '\n')
            continue;
        const std::size_t from = at + start.size();
        const std::size_t end = text.find_first_of("\r\n", from);
        return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
    }
    return std::nullopt;
}

// A single-quoted script string and the ";" after it, with its backslash escapes undone as the
// browser does; nothing when the line is no such statement (and so breaks the page's script).
std::optional<std::string> quoted(const std::string& text, const char* name)
{
    const auto value = valueText(text, name);
    if (!value || value->empty() || value->front() != '\'')
        return std::nullopt;
    std::string inner;
    std::size_t i = 1;
    for (; i < value->size() && (*value)[i] != '\''; ++i) {
        char c = (*value)[i];
        if (c == '\\') {
            if (++i == value->size())
                return std::nullopt;
            c = (*value)[i];
            if (c == 'n')
                c = '\n';
            else if (c == 'r')
                c = '\r';
            else if (c == 'x') {
                const bool hex = i + 2 < value->size() &&
                                 std::isxdigit(static_cast<unsigned char>((*value)[i + 1])) &&
                                 std::isxdigit(static_cast<unsigned char>((*value)[i + 2]));
                if (!hex)
                    return std::nullopt;
                c = static_cast<char>(std::stoi(value->substr(i + 1, 2), nullptr, 16));
                i += 2;
            }
        }
        inner += c;
    }
    if (i + 2 != value->size() || (*value)[i + 1] != ';')
        return std::nullopt;
    return inner;
}

std::optional<int> bare(const std::string& text, const char* name)
{
    const auto value = valueText(text, name);
    if (!value || value->size() < 2 || value->back() != ';')
        return std::nullopt;
    const std::string number = value->substr(0, value->size() - 1);
    const std::size_t digits = number.size() - (number[0] == '-' ? 1 : 0);
    if (digits == 0 || digits > 9 ||
        number.find_first_not_of("0123456789", number[0] == '-' ? 1 : 0) != std::string::npos)
        return std::nullopt;
    return std::atoi(number.c_str());
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

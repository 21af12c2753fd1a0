#include "transfer/curl_request_parts.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>

namespace velmora {

bool curlLibraryReady()
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

bool safeName(const std::string& text)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

namespace {

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

} // namespace

std::string escapeUrlPath(const std::string& path, LeadingSlash leadingSlash)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (c == '/' && (i != 0 || leadingSlash == LeadingSlash::Kept)) {
            out += '/';
        } else if (isUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out;
}

std::optional<long> timeLeftMs(const std::optional<std::chrono::steady_clock::time_point>& deadline)
{
    if (!deadline)
        return 0L;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        *deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
        return std::nullopt;
    return static_cast<long>(left.count());
}

std::optional<CurlList> curlCommandList(const std::vector<std::string>& commands)
{
    CurlList list;
    for (const auto& command : commands) {
        curl_slist* grown = curl_slist_append(list.get(), command.c_str());
        if (!grown)
            return std::nullopt; // list still owns what was appended before
        list.release();
        list.reset(grown);
    }
    return list;
}

std::size_t readFromMemory(char* buffer, std::size_t size, std::size_t count, void* source)
{
    auto* memory = static_cast<MemorySource*>(source);
    const std::size_t n = std::min(size * count, memory->bytes->size() - memory->offset);
    std::memcpy(buffer, memory->bytes->data() + memory->offset, n);
    memory->offset += n;
    return n;
}

} // namespace velmora

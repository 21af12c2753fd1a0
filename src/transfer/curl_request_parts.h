#pragma once
// What the FTP and the SFTP session both hand libcurl: the library's one-time start, the rule for
// names that may go into a command, URL paths, and the callback that streams bytes up.

#include "transfer/curl_handles.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Starts libcurl once for the whole program; false when it cannot be started.
bool curlLibraryReady();

// Names of files and directories, typed or sent by the server, carry no control characters at
// all: besides line breaks, none belongs in a name, and a server's reply is no more trusted than
// the presenter's typing.
bool safeName(const std::string& text);

// Each path segment escaped on its own, so that characters like ";", "?" or "#" in a name stay
// part of the name. FTP URLs spell a leading "/" (an absolute path) "%2F"; SFTP URLs keep it.
enum class LeadingSlash { Escaped, Kept };
std::string escapeUrlPath(const std::string& path, LeadingSlash leadingSlash);

// What CURLOPT_TIMEOUT_MS gets for a request that must end by deadline: 0 (no limit) without one;
// empty when the deadline has passed and the request must not start.
std::optional<long>
timeLeftMs(const std::optional<std::chrono::steady_clock::time_point>& deadline);

// The commands as a list for CURLOPT_QUOTE; empty when memory ran out on the way.
std::optional<CurlList> curlCommandList(const std::vector<std::string>& commands);

// Bytes held in memory, for readFromMemory: every upload goes up from memory.
struct MemorySource {
    const std::string* bytes;
    std::size_t offset = 0;
};
// CURLOPT_READFUNCTION for a MemorySource.
std::size_t readFromMemory(char* buffer, std::size_t size, std::size_t count, void* source);

} // namespace velmora

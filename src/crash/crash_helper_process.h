#pragma once
// Starts a helper program from inside the fault handler: no allocation, no locks, no atfork
// handlers (the faulting thread may hold the allocator's lock). The helper gets text on its
// standard input; its first line of standard output comes back.

#include <cstddef>

namespace velmora::crash {

struct HelperRun {
    const char* const* arguments; // arguments[0] is the program's path; ends with nullptr
    const char* input = nullptr;
    std::size_t inputLength = 0;
    char* reply = nullptr;         // receives the first line, without its line end
    std::size_t replyCapacity = 0; // including the terminating zero
    bool waitForExit = false;      // false: the helper may go on running after it replied
};

// False when the helper could not be started or closed its output without a whole line.
bool runHelper(const HelperRun& run);

} // namespace velmora::crash

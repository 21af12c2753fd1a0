#pragma once
// Waiting for something a scenario expects, with a generous bound instead of a fixed pause.

#include <chrono>
#include <thread>

namespace velmora::test {

template <typename Condition>
bool waitUntil(std::chrono::milliseconds limit, Condition condition,
               std::chrono::milliseconds step = std::chrono::milliseconds(200))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(step);
    }
}

} // namespace velmora::test

#pragma once
// Waiting in the window tests for what the application's event handling brings about.

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>
#include <thread>

namespace velmora::test {

// Serves the application's events until the condition holds; gives up after a generous limit
// and returns whether it holds. Callers assert on the result, never on the time taken.
template <typename Condition> bool serveEventsUntil(Condition condition)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace velmora::test

#pragma once
// The window tests run in-process on a private Xvfb screen of 1024 x 768: real X11 windows,
// real shapes and input, real screen grabs.

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>
#include <string>
#include <thread>

namespace velmora::test {

// The name of the private display (":N") the tests' application runs on.
const std::string& widgetDisplayName();

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

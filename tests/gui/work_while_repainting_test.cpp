#include "gui/work_while_repainting.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

namespace velmora {
namespace {

using namespace std::chrono_literals;

TEST(RunWhileRepainting, TheGuiThreadServesTimersAndRequestsWhileTheWorkRuns)
{
    std::atomic<int> ticks{0};
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();

    std::thread::id workThread;
    bool served = false;
    runWhileRepainting([&] {
        workThread = std::this_thread::get_id();
        // What a message box asked for by the work does: the GUI thread must run it.
        QMetaObject::invokeMethod(
            qApp, [&served] { served = true; }, Qt::BlockingQueuedConnection);
        // The windows' own timers (repaints, the region frame) go on meanwhile.
        const auto giveUp = std::chrono::steady_clock::now() + 10s;
        while (ticks < 3 && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(1ms);
    });
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_TRUE(served);
    EXPECT_GE(ticks.load(), 3) << "the GUI thread stood still while the work ran";
}

TEST(RunWhileRepainting, WorkThatEndsAtOnceStillReturns)
{
    int runs = 0;
    runWhileRepainting([&runs] { ++runs; });
    runWhileRepainting([&runs] { ++runs; });
    EXPECT_EQ(runs, 2);
}

} // namespace
} // namespace velmora

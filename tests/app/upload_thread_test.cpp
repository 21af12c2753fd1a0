// The Upload thread's liveness flag and the wait that keeps serving the GUI meanwhile.

#include "app/upload_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace velmora {
namespace {

TEST(UploadThread, RefusesASecondStartWhileAliveAndWaitServesMeanwhile)
{
    UploadThread upload;
    std::atomic<bool> release{false};
    std::atomic<int> runs{0};
    ASSERT_TRUE(upload.start([&] {
        while (!release)
            std::this_thread::yield();
        ++runs;
    }));
    EXPECT_TRUE(upload.alive());
    EXPECT_FALSE(upload.start([&] { ++runs; }));

    int served = 0;
    upload.waitUntilFinished([&] {
        if (++served == 5)
            release = true;
    });
    EXPECT_FALSE(upload.alive());
    EXPECT_GE(served, 5);
    EXPECT_EQ(runs.load(), 1);

    ASSERT_TRUE(upload.start([&] { ++runs; }));
    upload.waitUntilFinished({});
    EXPECT_EQ(runs.load(), 2);
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

TEST(UploadThread, TellsWhenACycleHasEndedAndIsNoLongerAlive)
{
    UploadThread upload;
    std::atomic<int> calls{0};
    std::atomic<bool> aliveWhenTold{true};
    upload.setOnFinished([&] {
        aliveWhenTold = upload.alive();
        ++calls;
    });
    ASSERT_TRUE(upload.start([] {}));
    upload.waitUntilFinished({});
    EXPECT_EQ(calls.load(), 1);
    EXPECT_FALSE(aliveWhenTold) << "a pass woken by the call must be able to start the next cycle";

    // A cycle with nothing to send ends quietly; the next one is told of again.
    ASSERT_TRUE(upload.start([&] { upload.finishQuietly(); }));
    upload.waitUntilFinished({});
    EXPECT_EQ(calls.load(), 1);
    EXPECT_FALSE(upload.alive());
    ASSERT_TRUE(upload.start([] {}));
    upload.waitUntilFinished({});
    EXPECT_EQ(calls.load(), 2);
}

} // namespace
} // namespace velmora

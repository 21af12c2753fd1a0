#include "core/signal_stack.h"

#include <gtest/gtest.h>

#include <thread>

namespace velmora {
namespace {

TEST(SignalStack, WorkerThreadsRunOnTheirOwnStackAndAPlainThreadHasNone)
{
    bool plain = true;
    std::thread([&] { plain = hasAlternateSignalStack(); }).join();
    EXPECT_FALSE(plain) << "a new thread inherits no alternate stack";

    bool worker = false;
    startWorkerThread([&] { worker = hasAlternateSignalStack(); }).join();
    EXPECT_TRUE(worker);
}

TEST(SignalStack, AStackInPlaceIsKeptAndGivenBackOnlyByItsOwner)
{
    std::thread([] {
        {
            const AlternateSignalStack outer;
            EXPECT_TRUE(hasAlternateSignalStack());
            {
                const AlternateSignalStack inner; // finds one in place: leaves it alone
            }
            EXPECT_TRUE(hasAlternateSignalStack()) << "the inner one took the outer one away";
        }
        EXPECT_FALSE(hasAlternateSignalStack());
    }).join();
}

} // namespace
} // namespace velmora

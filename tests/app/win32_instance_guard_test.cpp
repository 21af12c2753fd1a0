// The single-instance guard on Windows: the named mutex "Velmora" of the session, and a name that
// something else has taken.

#include "app/instance_guard.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace velmora {
namespace {

TEST(Win32InstanceGuard, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    {
        InstanceGuard first("");
        ASSERT_TRUE(first.acquired());
        InstanceGuard second("");
        EXPECT_FALSE(second.acquired());
    }
    InstanceGuard again("");
    EXPECT_TRUE(again.acquired());
}

TEST(Win32InstanceGuard, ANameTakenByAnotherKindOfObjectLetsNoCopyRun)
{
    // An event of that name makes the mutex impossible to create.
    HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, L"Velmora");
    ASSERT_NE(squatter, nullptr);
    {
        InstanceGuard guard("");
        EXPECT_FALSE(guard.acquired());
    }
    CloseHandle(squatter);
    InstanceGuard guard("");
    EXPECT_TRUE(guard.acquired());
}

} // namespace
} // namespace velmora

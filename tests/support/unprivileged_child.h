#pragma once
// Checks of permission handling and of write failures run in a child process: root may write any
// file, so when the tests run as root the child first becomes an unprivileged user, who is given
// the test's folder; and limits set for a check must not outlive it.

#include "support/temporary_folder.h"

#include <cstdlib>
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace velmora::test {

inline constexpr uid_t kUnprivilegedId = 65534;

// Runs check in a child process, as an unprivileged user who owns the folder when the tests run as
// root; the test fails unless every expectation inside held.
template <typename Check> void ExpectInUnprivilegedChild(const TemporaryFolder& folder, Check check)
{
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder.folder().c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    }
    auto child = [&] {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 ||
                                 ::setuid(kUnprivilegedId) != 0))
            std::_Exit(2);
        check();
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

} // namespace velmora::test

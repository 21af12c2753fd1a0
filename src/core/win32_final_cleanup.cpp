#include "core/final_cleanup.h"

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <vector>

namespace velmora {
namespace {

std::mutex& cleanupMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<std::function<void()>>& releases()
{
    static std::vector<std::function<void()>> list;
    return list;
}

} // namespace

void atFinalCleanup(std::function<void()> release)
{
    std::lock_guard lock(cleanupMutex());
    releases().push_back(std::move(release));
}

void finalCleanup()
{
    std::vector<std::function<void()>> list;
    {
        std::lock_guard lock(cleanupMutex());
        list.swap(releases());
    }
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        (*it)();
    std::fflush(nullptr);
    // Not exit() and not ExitProcess(): static destructors and the DLLs' detach code would run
    // while an Upload thread, ended in the middle of whatever it held (a heap or loader lock among
    // them), may still be using what they tear down. Windows gives everything else back.
    ::TerminateProcess(::GetCurrentProcess(), 0);
    for (;;)
        ::Sleep(INFINITE); // TerminateProcess on the own process does not come back
}

} // namespace velmora

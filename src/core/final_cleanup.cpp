#include "core/final_cleanup.h"

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
    endProcessAtOnce();
}

} // namespace velmora

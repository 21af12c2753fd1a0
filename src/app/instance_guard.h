#pragma once
// Only one copy of the program per user: a lock on a file in the private Temp folder. The system
// releases it when the process ends, however it ends, so a crash never blocks the next start.

#include <cstdint>
#include <string>

namespace velmora {

class InstanceGuard {
public:
    explicit InstanceGuard(const std::string& tempFolder);
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // False when another copy holds the lock.
    bool acquired() const { return acquired_; }

private:
    // The platform's handle of the lock (a file descriptor here, a mutex handle on Windows);
    // -1 for none.
    std::intptr_t lock_ = -1;
    bool acquired_ = false;
};

} // namespace velmora

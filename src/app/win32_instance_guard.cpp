#include "app/instance_guard.h"

#include <windows.h>

namespace velmora {

// A named mutex "Velmora" in the session's namespace: the system closes it with the process,
// however the process ends. Only its existence counts; nobody waits on it.
InstanceGuard::InstanceGuard(const std::string& tempFolder)
{
    (void)tempFolder;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Velmora");
    const DWORD error = GetLastError();
    if (mutex == nullptr) {
        // The name cannot be taken: a mutex of another account with other rights, or an object
        // of another kind under that name (ERROR_INVALID_HANDLE), which anybody can make to let
        // a second copy run. Either way this copy cannot know that it is the only one.
        acquired_ = false;
        return;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        acquired_ = false;
        return;
    }
    lock_ = reinterpret_cast<std::intptr_t>(mutex);
    acquired_ = true;
}

InstanceGuard::~InstanceGuard()
{
    if (lock_ != -1)
        CloseHandle(reinterpret_cast<HANDLE>(lock_));
}

} // namespace velmora

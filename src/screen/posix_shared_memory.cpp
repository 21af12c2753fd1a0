#include "screen/posix_shared_memory.h"

#include <sys/ipc.h>
#include <sys/shm.h>

namespace velmora {

SharedMemory::SharedMemory(std::size_t size)
{
    id_ = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (id_ < 0)
        return;
    void* address = shmat(id_, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        markForRemoval();
        return;
    }
    address_ = static_cast<char*>(address);
}

SharedMemory::~SharedMemory()
{
    if (address_)
        shmdt(address_);
}

void SharedMemory::markForRemoval()
{
    if (id_ >= 0)
        shmctl(id_, IPC_RMID, nullptr);
}

} // namespace velmora

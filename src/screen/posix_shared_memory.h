#pragma once
// A System V shared memory segment attached to this process, for the X server to write the
// screen into (MIT-SHM). Detached when the object goes.

#include <cstddef>

namespace velmora {

class SharedMemory {
public:
    // address() is null when no segment could be made or attached.
    explicit SharedMemory(std::size_t size);
    ~SharedMemory();
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    int id() const { return id_; }
    char* address() const { return address_; }
    // The segment goes once every process has detached it, so it cannot outlive the program
    // even after a crash.
    void markForRemoval();

private:
    int id_ = -1;
    char* address_ = nullptr;
};

} // namespace velmora

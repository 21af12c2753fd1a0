#include "app/instance_guard.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velmora {

InstanceGuard::InstanceGuard(const std::string& tempFolder)
{
    const std::string path = tempFolder + "Velmora.lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    lock_ = fd;
    if (fd < 0) {
        // No lock file, no guard; but nothing says another copy runs, so do not claim one does.
        acquired_ = true;
        return;
    }
    acquired_ = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

InstanceGuard::~InstanceGuard()
{
    if (lock_ >= 0)
        ::close(static_cast<int>(lock_));
}

} // namespace velmora

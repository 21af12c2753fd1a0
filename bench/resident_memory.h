#pragma once
// The resident memory of a running process, as the kernel counts it (VmRSS).

#include <sys/types.h>

namespace velmora::bench {

// Kibibytes; -1 when the process is gone or the count cannot be read.
long residentKiB(pid_t pid);

} // namespace velmora::bench

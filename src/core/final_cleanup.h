#pragma once
// The one way out of the program: every exit, normal or fatal, ends here with exit code 0 (after
// a fault only the answer "Yes" ends at once, without it). The releases registered here run
// newest first; the only one is the crash reporter's, which puts back the fault handlers that
// were in place before it.
// Everything else is given back when _exit ends the process: the kernel drops the instance lock
// with its file descriptor and the image library with the address space, and the tray's host
// takes the tray icon away once the program's connection to the desktop is closed. The normal
// shut-down unloads the image library itself before it comes here.
// An Upload thread that is still sending is not waited for: ending the process ends it.

#include <functional>

namespace velmora {

void atFinalCleanup(std::function<void()> release);
[[noreturn]] void finalCleanup();

// The platform's part: ends the process with exit code 0 without running static destructors.
[[noreturn]] void endProcessAtOnce();

} // namespace velmora

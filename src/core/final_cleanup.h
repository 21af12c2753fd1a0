#pragma once
// The one way out of the program. Whatever holds a system resource that must be given back
// before the process ends (the tray icon, the image library, the instance lock) registers its
// release here; every exit, normal or fatal, runs them newest first and ends with exit code 0.
// An Upload thread that is still sending is not waited for: ending the process ends it.

#include <functional>

namespace velmora {

void atFinalCleanup(std::function<void()> release);
[[noreturn]] void finalCleanup();

} // namespace velmora

#include "core/final_cleanup.h"

#include <windows.h>

namespace velmora {

void endProcessAtOnce()
{
    // Not exit() and not ExitProcess(): static destructors and the DLLs' detach code would run
    // while an Upload thread, ended in the middle of whatever it held (a heap or loader lock among
    // them), may still be using what they tear down. Windows gives everything else back.
    ::TerminateProcess(::GetCurrentProcess(), 0);
    for (;;)
        ::Sleep(INFINITE); // TerminateProcess on the own process does not come back
}

} // namespace velmora

#include "core/signal_stack.h"

#include <windows.h>

namespace velmora {
namespace {

// Windows runs a fault's handler on the faulting thread's own stack. What the alternate signal
// stack is elsewhere is here the stack the thread keeps in reserve after an overflow
// (SetThreadStackGuarantee); the memory handed in is not needed.
thread_local bool reserved = false;

} // namespace

bool useAlternateSignalStack(std::byte*, std::size_t size)
{
    if (reserved)
        return false;
    ULONG guarantee = static_cast<ULONG>(size);
    reserved = ::SetThreadStackGuarantee(&guarantee) != 0;
    return reserved;
}

void dropAlternateSignalStack()
{
    // A thread cannot give its reserve back; it is only no longer counted as given.
    reserved = false;
}

bool hasAlternateSignalStack()
{
    return reserved;
}

AlternateSignalStack::AlternateSignalStack()
{
    active_ = useAlternateSignalStack(nullptr, kAlternateSignalStackSize);
}

AlternateSignalStack::~AlternateSignalStack()
{
    if (active_)
        dropAlternateSignalStack();
}

} // namespace velmora

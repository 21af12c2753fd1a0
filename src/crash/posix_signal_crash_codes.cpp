// The exception code of a fault that arrived as a POSIX signal.

#include "crash/crash_codes.h"

#include <csignal>

namespace velmora::crash {
namespace {

// How far around the stack pointer a fault still counts as the stack's own: a push or call
// writes just below it, a freshly reserved frame is written above it.
constexpr std::uintptr_t kBelowStackPointer = 4096;
constexpr std::uintptr_t kAboveStackPointer = 64 * 1024;

// A fault in the few pages around the thread's stack pointer can only mean that the stack ran
// into its guard area: the memory there is in use and mapped unless the stack is exhausted.
bool isStackOverflow(std::uintptr_t dataAddress, std::uintptr_t stackPointer)
{
    if (stackPointer == 0)
        return false;
    return dataAddress + kBelowStackPointer > stackPointer &&
           dataAddress < stackPointer + kAboveStackPointer;
}

std::uint32_t segmentationCode(const FaultFacts& facts)
{
    if (facts.privilegedInstruction)
        return kPrivilegedInstruction;
    if (isStackOverflow(facts.dataAddress, facts.stackPointer))
        return kStackOverflow;
    return kAccessViolation;
}

std::uint32_t busCode(const FaultFacts& facts)
{
    switch (facts.signalCode) {
    case BUS_ADRALN:
        return kMisalignedData;
    case BUS_ADRERR: // the file behind a mapping is gone or shorter than the mapping
    case BUS_OBJERR:
    case BUS_MCEERR_AR:
    case BUS_MCEERR_AO:
        return kPageError;
    default:
        return kAccessViolation;
    }
}

std::uint32_t arithmeticCode(const FaultFacts& facts)
{
    switch (facts.signalCode) {
    case FPE_INTDIV:
        // The processor raises the same fault for a quotient that does not fit.
        return facts.integerOverflow ? kIntegerOverflow : kIntegerDivideByZero;
    case FPE_INTOVF:
        return kIntegerOverflow;
    case FPE_FLTDIV:
        return kFloatDivideByZero;
    case FPE_FLTOVF:
        return kFloatOverflow;
    case FPE_FLTUND:
        return facts.denormalOperand ? kFloatDenormalOperand : kFloatUnderflow;
    case FPE_FLTRES:
        return kFloatInexactResult;
    case FPE_FLTINV:
        return facts.floatStackFault ? kFloatStackCheck : kFloatInvalidOperation;
    case FPE_FLTSUB:
        return kArrayBoundsExceeded;
    default:
        return kFloatInvalidOperation;
    }
}

std::uint32_t illegalCode(const FaultFacts& facts)
{
    switch (facts.signalCode) {
    case ILL_PRVOPC:
    case ILL_PRVREG:
        return kPrivilegedInstruction;
    default:
        return kIllegalInstruction;
    }
}

} // namespace

std::uint32_t crashCodeFor(const FaultFacts& facts)
{
    switch (facts.signal) {
    case SIGSEGV:
        return segmentationCode(facts);
    case SIGBUS:
        return busCode(facts);
    case SIGFPE:
        return arithmeticCode(facts);
    case SIGILL:
        return illegalCode(facts);
    case SIGTRAP:
        // TRAP_TRACE: the trap flag stopped after one instruction; everything else (int3, a
        // breakpoint compiled in) is a breakpoint.
        return facts.signalCode == TRAP_TRACE ? kSingleStep : kBreakpoint;
    default:
        return 0;
    }
}

} // namespace velmora::crash

#include "crash/crash_codes.h"

namespace velmora::crash {
namespace {

struct CodeText {
    std::uint32_t code;
    const char* text;
};

// The texts are the ones users have always sent in, typo and trailing blank included.
constexpr CodeText kTexts[] = {
    {kAccessViolation, "Invalid memory access"},
    {kArrayBoundsExceeded, "Array bounds exceeded"},
    {kBreakpoint, "Debugger breakpoint reached"},
    {kMisalignedData, "Misaligned data access"},
    {kFloatDenormalOperand, "Denormal floating-point operand"},
    {kFloatDivideByZero, "Division by zero (floating-point)"},
    {kFloatInexactResult, "Inexact floating-point result"},
    {kFloatInvalidOperation, "Invalid floating-point operation"},
    {kFloatOverflow, "Floating-point overflow (exponent to great)"},
    {kFloatStackCheck, "Floating-point stack overflow or underflow"},
    {kFloatUnderflow, "Floating-point underflow (exponent too small)"},
    {kIllegalInstruction, "Illegal instruction"},
    {kPageError, "Memory page error"},
    {kIntegerDivideByZero, "Division by zero "},
    {kIntegerOverflow, "Integer overflow"},
    {kPrivilegedInstruction, "Privileged instruction"},
    {kSingleStep, "Single step trap"},
    {kStackOverflow, "Stack overflow"},
};

} // namespace

const char* crashMessage(std::uint32_t code)
{
    for (const CodeText& entry : kTexts) {
        if (entry.code == code)
            return entry.text;
    }
    return "Unknown error code";
}

} // namespace velmora::crash

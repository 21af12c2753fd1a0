#pragma once
// A fault as the report names it: the Windows exception code the program has always reported,
// derived here from the POSIX signal and the facts the kernel gives with it, and its English text.
// Everything here runs inside the fault handler, so it only reads plain values.

#include <cstdint>

namespace velmora::crash {

inline constexpr std::uint32_t kAccessViolation = 0xC0000005;
inline constexpr std::uint32_t kArrayBoundsExceeded = 0xC000008C;
inline constexpr std::uint32_t kBreakpoint = 0x80000003;
inline constexpr std::uint32_t kMisalignedData = 0x80000002;
inline constexpr std::uint32_t kFloatDenormalOperand = 0xC000008D;
inline constexpr std::uint32_t kFloatDivideByZero = 0xC000008E;
inline constexpr std::uint32_t kFloatInexactResult = 0xC000008F;
inline constexpr std::uint32_t kFloatInvalidOperation = 0xC0000090;
inline constexpr std::uint32_t kFloatOverflow = 0xC0000091;
inline constexpr std::uint32_t kFloatStackCheck = 0xC0000092;
inline constexpr std::uint32_t kFloatUnderflow = 0xC0000093;
inline constexpr std::uint32_t kIllegalInstruction = 0xC000001D;
inline constexpr std::uint32_t kPageError = 0xC0000006;
inline constexpr std::uint32_t kIntegerDivideByZero = 0xC0000094;
inline constexpr std::uint32_t kIntegerOverflow = 0xC0000095;
inline constexpr std::uint32_t kPrivilegedInstruction = 0xC0000096;
inline constexpr std::uint32_t kSingleStep = 0x80000004;
inline constexpr std::uint32_t kStackOverflow = 0xC00000FD;

// The English text for a code; "Unknown error code" for one not in the table.
const char* crashMessage(std::uint32_t code);

// What the handler could learn about one fault. The flags refine what the signal alone cannot
// tell apart; the platform part fills them where the processor state says so.
struct FaultFacts {
    int signal = 0;
    int signalCode = 0;              // si_code
    std::uintptr_t dataAddress = 0;  // si_addr
    std::uintptr_t stackPointer = 0; // of the faulting thread, 0 if unknown
    bool privilegedInstruction = false;
    bool integerOverflow = false; // a division whose divisor was not zero
    bool denormalOperand = false; // floating-point fault raised by a denormal operand
    bool floatStackFault = false; // x87 register stack over- or underflow
};

std::uint32_t crashCodeFor(const FaultFacts& facts);

} // namespace velmora::crash

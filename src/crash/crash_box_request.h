#pragma once
// How a program that faulted asks a fresh copy of itself to show the crash report, where the
// faulting process must not open windows of its own: the copy is started with kCrashBoxArgument
// followed by the fault's facts, builds the report, puts its first part on the clipboard, asks,
// and answers through its exit code.

#include <cstdint>

namespace velmora::crash {

inline constexpr char kCrashBoxArgument[] = "--velmora-crash-box";

// The arguments after kCrashBoxArgument, in this order: the exception code, the address of the
// faulting instruction and its offset in its module, each in hexadecimal without a prefix, and
// the module's file (empty when the address lies in no module).
struct CrashBoxRequest {
    std::uint32_t code = 0;
    std::uint64_t address = 0;
    std::uint64_t moduleOffset = 0;
};

// The copy's exit codes; anything else means nobody was asked.
inline constexpr unsigned long kCrashAnswerYes = 0x59; // 'Y'
inline constexpr unsigned long kCrashAnswerNo = 0x4E;  // 'N'

} // namespace velmora::crash

#pragma once
// Reads the x86-64 instruction that faulted, for the two faults whose signal does not say what
// happened: the kernel reports a privileged instruction as a plain segmentation fault, and a
// division whose quotient overflows as a division by zero. Only called from the fault handler,
// on instruction bytes the processor has just fetched.

#include <cstdint>

namespace velmora::crash {

// The general registers in the processor's own numbering (rax, rcx, rdx, rbx, rsp, rbp, rsi, rdi,
// r8 ... r15) and the address of the faulting instruction.
struct X86Registers {
    std::uint64_t general[16];
    std::uint64_t instruction;
};

bool isPrivilegedInstruction(const unsigned char* code);

enum class DivisorState { Zero, NonZero, Unknown };
// The divisor of the DIV or IDIV at code, read from its register or memory operand.
DivisorState divisorOf(const unsigned char* code, const X86Registers& registers);

} // namespace velmora::crash

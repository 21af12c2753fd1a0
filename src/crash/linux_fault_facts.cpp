#include "crash/fault_facts.h"

#include "crash/x86_fault_instruction.h"

#include <ucontext.h>

namespace velmora::crash {
namespace {

#if defined(__x86_64__)

constexpr int kX87Fault = 16;  // #MF
constexpr int kSimdFault = 19; // #XM

X86Registers registersOf(const mcontext_t& machine)
{
    const greg_t* g = machine.gregs;
    X86Registers registers{};
    const int order[16] = {REG_RAX, REG_RCX, REG_RDX, REG_RBX, REG_RSP, REG_RBP, REG_RSI, REG_RDI,
                           REG_R8,  REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15};
    for (int i = 0; i < 16; ++i)
        registers.general[i] = static_cast<std::uint64_t>(g[order[i]]);
    registers.instruction = static_cast<std::uint64_t>(g[REG_RIP]);
    return registers;
}

void refineFloatFault(const mcontext_t& machine, FaultFacts& facts)
{
    if (machine.fpregs == nullptr)
        return;
    // Exceptions raised and not masked; the kernel picked the signal code from the same bits.
    unsigned raised = 0;
    const long trap = machine.gregs[REG_TRAPNO];
    if (trap == kSimdFault) {
        const unsigned mxcsr = machine.fpregs->mxcsr;
        raised = mxcsr & ~(mxcsr >> 7) & 0x3F;
    } else if (trap == kX87Fault) {
        const unsigned status = machine.fpregs->swd;
        raised = status & ~machine.fpregs->cwd & 0x3F;
        facts.floatStackFault = (status & 0x40) != 0 && (raised & 0x01) != 0;
    }
    facts.denormalOperand = (raised & 0x02) != 0 && (raised & 0x10) == 0;
}

void readMachineState(const void* context, const siginfo_t* info, FaultSnapshot& snapshot)
{
    const auto* user = static_cast<const ucontext_t*>(context);
    const mcontext_t& machine = user->uc_mcontext;
    const X86Registers registers = registersOf(machine);
    snapshot.instructionAddress = registers.instruction;
    snapshot.facts.stackPointer = registers.general[4];
    const auto* code = reinterpret_cast<const unsigned char*>(registers.instruction);

    // A jump to unmapped memory faults on the instruction address itself: nothing to read there.
    // (For arithmetic faults the kernel gives the instruction address as the fault address.)
    const bool instructionReadable =
        snapshot.instructionAddress != 0 &&
        (snapshot.facts.signal == SIGFPE ||
         reinterpret_cast<std::uintptr_t>(info->si_addr) != snapshot.instructionAddress);
    if (snapshot.facts.signal == SIGSEGV && info->si_code == SI_KERNEL && instructionReadable)
        snapshot.facts.privilegedInstruction = isPrivilegedInstruction(code);
    if (snapshot.facts.signal == SIGFPE && info->si_code == FPE_INTDIV && instructionReadable)
        snapshot.facts.integerOverflow = divisorOf(code, registers) == DivisorState::NonZero;
    if (snapshot.facts.signal == SIGFPE)
        refineFloatFault(machine, snapshot.facts);
}

#elif defined(__aarch64__)

void readMachineState(const void* context, const siginfo_t*, FaultSnapshot& snapshot)
{
    const auto* user = static_cast<const ucontext_t*>(context);
    snapshot.instructionAddress = user->uc_mcontext.pc;
    snapshot.facts.stackPointer = user->uc_mcontext.sp;
}

#else

void readMachineState(const void*, const siginfo_t* info, FaultSnapshot& snapshot)
{
    // Without the saved registers, the data address is the best there is.
    snapshot.instructionAddress = reinterpret_cast<std::uintptr_t>(info->si_addr);
}

#endif

} // namespace

FaultSnapshot readFaultSnapshot(int signal, const siginfo_t* info, const void* context)
{
    FaultSnapshot snapshot;
    snapshot.facts.signal = signal;
    snapshot.facts.signalCode = info->si_code;
    snapshot.facts.dataAddress = reinterpret_cast<std::uintptr_t>(info->si_addr);
    if (context != nullptr)
        readMachineState(context, info, snapshot);
    return snapshot;
}

} // namespace velmora::crash

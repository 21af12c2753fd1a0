#pragma once
// Reads what a fault handler is given (signal information and the interrupted thread's saved
// processor state) into plain values. Async-signal-safe.

#include "crash/crash_codes.h"

#include <csignal>
#include <cstdint>

namespace velmora::crash {

struct FaultSnapshot {
    FaultFacts facts;
    std::uintptr_t instructionAddress = 0; // of the faulting instruction
};

FaultSnapshot readFaultSnapshot(int signal, const siginfo_t* info, const void* context);

} // namespace velmora::crash

#pragma once
// The crash reporter: a processor fault on any thread (invalid memory access, stack overflow,
// division by zero, illegal instruction, breakpoint, ...) becomes a report for the maker. The
// report's first part goes on the clipboard and the whole report is shown with the question
// whether to go on; either answer ends the program with exit code 0, "No" through the final
// cleanup (the position is not saved, the working files stay), "Yes" at once.
//
// The faulting process cannot be trusted with windows or memory any more, so two helper programs
// that did not fault do that work: one finds the source line of the fault address in the
// program's debug information, the other shows the question and keeps the clipboard.

#include <string>

namespace velmora {

struct CrashHelpers {
    // Shows the report and answers. Run with the clipboard length (decimal) as its argument and
    // the report (Windows-1252) on standard input; puts that many leading bytes on the clipboard,
    // asks, and writes "Yes" or "No" and a line end to standard output. It may go on running
    // afterwards to keep serving the clipboard.
    std::string questionProgram;
    // Run as: locator FILE HEXADDRESS; prints "module<TAB>line" (see fault_locator_main.cpp).
    std::string locatorProgram;
};

// The two helpers as installed next to the program.
CrashHelpers crashHelpersIn(const std::string& programFolder);

// Installs the fault handlers for the whole process and an alternate signal stack for the calling
// thread (other threads make their own, core/signal_stack.h), and registers removeCrashReporter() with the final cleanup. Faults before this call
// take the system's default course. A second call changes nothing.
void installCrashReporter(const CrashHelpers& helpers);

// Puts back the handlers that were in place before. Safe to call more than once.
void removeCrashReporter();

} // namespace velmora

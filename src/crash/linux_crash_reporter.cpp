#include "crash/crash_reporter.h"

#include "core/final_cleanup.h"
#include "core/signal_stack.h"
#include "crash/crash_codes.h"
#include "crash/crash_helper_process.h"
#include "crash/crash_report_text.h"
#include "crash/fault_facts.h"
#include "crash/text_buffer.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <link.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velmora {
namespace {

using crash::CrashRecord;

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP};
constexpr int kFaultSignalCount = sizeof kFaultSignals / sizeof kFaultSignals[0];
// Enough for the handler, the helper start and the processor state the kernel saves on it.
constexpr std::size_t kPathCapacity = 4096;
constexpr int kMaximumSegments = 16;
// How long the final cleanup may take after "No" before the process ends regardless: it runs in
// a process that faulted, where a lock may be held forever by the faulting code.
constexpr unsigned kCleanupSeconds = 10;

struct Segment {
    std::uintptr_t begin;
    std::uintptr_t end;
};

// Everything the handler reads is prepared at installation, in static storage.
struct Installation {
    bool installed = false;
    char questionProgram[kPathCapacity] = {};
    char locatorProgram[kPathCapacity] = {};
    std::uintptr_t loadBias = 0;
    Segment segments[kMaximumSegments] = {};
    int segmentCount = 0;
    struct sigaction previous[kFaultSignalCount] = {};
    pid_t stackThread = 0;
    bool stackReplaced = false;
};

Installation installation;
alignas(16) std::byte mainThreadStack[kAlternateSignalStackSize];
std::atomic<pid_t> reportingThread{0};
char reportStorage[4096];
char moduleStorage[256];

pid_t currentThread()
{
    return static_cast<pid_t>(::syscall(SYS_gettid));
}

void copyPath(char* target, const std::string& path)
{
    // A path that does not fit is no path: better no helper than the wrong one.
    target[0] = '\0';
    if (path.size() < kPathCapacity)
        std::memcpy(target, path.c_str(), path.size() + 1);
}

void recordProgramSegments()
{
    installation.segmentCount = 0;
    // The first object reported is the program itself.
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) -> int {
            installation.loadBias = info->dlpi_addr;
            for (int i = 0; i < info->dlpi_phnum && installation.segmentCount < kMaximumSegments;
                 ++i) {
                const ElfW(Phdr)& header = info->dlpi_phdr[i];
                if (header.p_type != PT_LOAD || (header.p_flags & PF_X) == 0)
                    continue;
                const std::uintptr_t begin = info->dlpi_addr + header.p_vaddr;
                installation.segments[installation.segmentCount++] = {begin,
                                                                      begin + header.p_memsz};
            }
            return 1;
        },
        nullptr);
}

bool inProgram(std::uintptr_t address)
{
    for (int i = 0; i < installation.segmentCount; ++i) {
        if (address >= installation.segments[i].begin && address < installation.segments[i].end)
            return true;
    }
    return false;
}

// Module and line of the fault, from a helper that reads the program file's debug information.
void locate(std::uintptr_t address, CrashRecord& record)
{
    if (!inProgram(address) || installation.locatorProgram[0] == '\0')
        return;
    // The file of the running process, even if it has been replaced on disk since the start.
    char file[64];
    TextBuffer filePath(file, sizeof file);
    filePath.append("/proc/");
    filePath.appendDecimal(::getpid());
    filePath.append("/exe");
    char hexadecimal[24];
    TextBuffer linkAddress(hexadecimal, sizeof hexadecimal);
    linkAddress.appendHexadecimal(address - installation.loadBias);

    const char* arguments[] = {installation.locatorProgram, file, hexadecimal, nullptr};
    char reply[sizeof moduleStorage + 16];
    crash::HelperRun run{arguments};
    run.reply = reply;
    run.replyCapacity = sizeof reply;
    run.waitForExit = true;
    if (!crash::runHelper(run))
        return;
    const char* tab = std::strrchr(reply, '\t');
    if (tab == nullptr || tab == reply || tab[1] == '\0')
        return;
    std::int32_t line = 0;
    for (const char* digit = tab + 1; *digit != '\0'; ++digit) {
        if (*digit < '0' || *digit > '9' || line > 0xFFFFFF)
            return;
        line = line * 10 + (*digit - '0');
    }
    TextBuffer module(moduleStorage, sizeof moduleStorage);
    module.append(reply, static_cast<std::size_t>(tab - reply));
    record.module = moduleStorage;
    record.line = line;
}

enum class Answer { Yes, No, None };

Answer ask(const TextBuffer& report, std::size_t clipboardLength)
{
    if (installation.questionProgram[0] == '\0')
        return Answer::None;
    char length[24];
    TextBuffer lengthText(length, sizeof length);
    lengthText.appendDecimal(static_cast<std::int64_t>(clipboardLength));
    const char* arguments[] = {installation.questionProgram, length, nullptr};
    char reply[16];
    crash::HelperRun run{arguments};
    run.input = report.data();
    run.inputLength = report.size();
    run.reply = reply;
    run.replyCapacity = sizeof reply;
    if (!crash::runHelper(run))
        return Answer::None;
    if (std::strcmp(reply, "Yes") == 0 || std::strcmp(reply, "Yes\r") == 0)
        return Answer::Yes;
    if (std::strcmp(reply, "No") == 0 || std::strcmp(reply, "No\r") == 0)
        return Answer::No;
    return Answer::None;
}

void writeToStandardError(const char* text, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(STDERR_FILENO, text, length);
        if (written <= 0)
            return;
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}

[[noreturn]] void leaveThroughFinalCleanup()
{
    struct sigaction endAtOnce {};
    endAtOnce.sa_handler = [](int) { ::_exit(0); };
    sigemptyset(&endAtOnce.sa_mask);
    ::sigaction(SIGALRM, &endAtOnce, nullptr);
    sigset_t alarmOnly;
    sigemptyset(&alarmOnly);
    sigaddset(&alarmOnly, SIGALRM);
    ::pthread_sigmask(SIG_UNBLOCK, &alarmOnly, nullptr);
    ::alarm(kCleanupSeconds);
    finalCleanup();
}

[[noreturn]] void report(int signal, const siginfo_t* info, const void* context)
{
    const crash::FaultSnapshot snapshot = crash::readFaultSnapshot(signal, info, context);
    CrashRecord record;
    record.code = crash::crashCodeFor(snapshot.facts);
    record.address = snapshot.instructionAddress;
    locate(snapshot.instructionAddress, record);

    TextBuffer text(reportStorage, sizeof reportStorage);
    crash::appendReportHead(text, record);
    const std::size_t clipboardLength = text.size();
    crash::appendReportQuestion(text);

    switch (ask(text, clipboardLength)) {
    case Answer::Yes:
        ::_exit(0);
    case Answer::None:
        // Nobody could be asked (no helper, no display): the report must not get lost.
        writeToStandardError(text.data(), text.size());
        writeToStandardError("\r\n", 2);
        leaveThroughFinalCleanup();
    case Answer::No:
        leaveThroughFinalCleanup();
    }
    ::_exit(0);
}

void onFault(int signal, siginfo_t* info, void* context)
{
    if (info->si_code <= 0) {
        // Sent by a process (kill, raise), not raised by the processor: nothing to report, so the
        // signal takes its default course once this handler returns.
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        ::sigaction(signal, &byDefault, nullptr);
        ::raise(signal);
        return;
    }
    pid_t nobody = 0;
    if (!reportingThread.compare_exchange_strong(nobody, currentThread())) {
        // Another thread's report is under way and will end the process; this thread must not
        // return to the instruction that faulted, nor start a second report.
        for (;;)
            ::pause();
    }
    report(signal, info, context);
}

} // namespace

CrashHelpers crashHelpersIn(const std::string& programFolder)
{
    return {programFolder + "velmora-crash-box", programFolder + "velmora-fault-locator"};
}

void installCrashReporter(const CrashHelpers& helpers)
{
    if (installation.installed)
        return;
    copyPath(installation.questionProgram, helpers.questionProgram);
    copyPath(installation.locatorProgram, helpers.locatorProgram);
    recordProgramSegments();
    installation.stackThread = currentThread();
    installation.stackReplaced = useAlternateSignalStack(mainThreadStack, sizeof mainThreadStack);

    struct sigaction action {};
    action.sa_sigaction = onFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    // A fault inside the handler meets its signal blocked, and the kernel ends the process: no
    // second report, no loop. SIGPIPE from a helper that went away must not end it either.
    sigemptyset(&action.sa_mask);
    for (int signal : kFaultSignals)
        sigaddset(&action.sa_mask, signal);
    sigaddset(&action.sa_mask, SIGPIPE);
    for (int i = 0; i < kFaultSignalCount; ++i)
        ::sigaction(kFaultSignals[i], &action, &installation.previous[i]);
    installation.installed = true;

    static bool cleanupRegistered = false;
    if (!cleanupRegistered) {
        cleanupRegistered = true;
        atFinalCleanup(removeCrashReporter);
    }
}

void removeCrashReporter()
{
    if (!installation.installed)
        return;
    for (int i = 0; i < kFaultSignalCount; ++i)
        ::sigaction(kFaultSignals[i], &installation.previous[i], nullptr);
    if (installation.stackReplaced && installation.stackThread == currentThread())
        dropAlternateSignalStack();
    installation.installed = false;
}

} // namespace velmora

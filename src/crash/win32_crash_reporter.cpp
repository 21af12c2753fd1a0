// The crash reporter on Windows: an unhandled-exception filter. The faulting process starts a
// fresh copy of the program, which shows the report and answers; this process only waits and
// then ends as told.

#include "crash/crash_reporter.h"

#include "core/final_cleanup.h"
#include "crash/crash_box_request.h"
#include "crash/crash_report_text.h"
#include "crash/text_buffer.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cwchar>

namespace velmora {
namespace {

constexpr std::size_t kPathCapacity = 32768;
// How long the final cleanup may take after "No": it runs in a process that faulted, where a lock
// may be held forever by the faulting code.
constexpr DWORD kCleanupMs = 10000;
// The report is made on a thread of its own: after a stack overflow the faulting thread has too
// little stack left to start a process.
constexpr SIZE_T kReportStack = 256 * 1024;

struct Installation {
    bool installed = false;
    wchar_t program[kPathCapacity] = {};
    LPTOP_LEVEL_EXCEPTION_FILTER previous = nullptr;
};

Installation installation;
std::atomic<DWORD> reportingThread{0};
EXCEPTION_RECORD faultRecord;
wchar_t commandLine[2 * kPathCapacity + 128];
wchar_t modulePath[kPathCapacity];
char reportStorage[4096];

void appendWide(wchar_t*& at, const wchar_t* end, const wchar_t* text)
{
    while (*text != L'\0' && at + 1 < end)
        *at++ = *text++;
    *at = L'\0';
}

void appendHex(wchar_t*& at, const wchar_t* end, std::uint64_t value)
{
    wchar_t digits[17];
    int count = 0;
    do {
        digits[count++] = L"0123456789abcdef"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (count > 0 && at + 1 < end)
        *at++ = digits[--count];
    *at = L'\0';
}

enum class Answer { Yes, No, None };

// Starts "program --velmora-crash-box CODE ADDRESS OFFSET MODULE" and waits for its answer.
Answer ask(const EXCEPTION_RECORD& record)
{
    const auto address = reinterpret_cast<std::uintptr_t>(record.ExceptionAddress);
    HMODULE module = nullptr;
    modulePath[0] = L'\0';
    std::uint64_t offset = 0;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(record.ExceptionAddress), &module) &&
        GetModuleFileNameW(module, modulePath, kPathCapacity) > 0)
        offset = address - reinterpret_cast<std::uintptr_t>(module);
    else
        modulePath[0] = L'\0';

    wchar_t* at = commandLine;
    const wchar_t* end = commandLine + sizeof commandLine / sizeof commandLine[0];
    appendWide(at, end, L"\"");
    appendWide(at, end, installation.program);
    appendWide(at, end, L"\" --velmora-crash-box ");
    appendHex(at, end, record.ExceptionCode);
    appendWide(at, end, L" ");
    appendHex(at, end, address);
    appendWide(at, end, L" ");
    appendHex(at, end, offset);
    appendWide(at, end, L" \"");
    appendWide(at, end, modulePath);
    appendWide(at, end, L"\"");

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(installation.program, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return Answer::None;
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    const bool ended = GetExitCodeProcess(process.hProcess, &exitCode) != FALSE;
    CloseHandle(process.hProcess);
    if (!ended)
        return Answer::None;
    if (exitCode == crash::kCrashAnswerYes)
        return Answer::Yes;
    if (exitCode == crash::kCrashAnswerNo)
        return Answer::No;
    return Answer::None;
}

// Nobody could be asked: the report goes to the standard error, so that it is not lost.
void writeReportToStandardError(const EXCEPTION_RECORD& record)
{
    crash::CrashRecord facts;
    facts.code = static_cast<std::uint32_t>(record.ExceptionCode);
    facts.address = reinterpret_cast<std::uintptr_t>(record.ExceptionAddress);
    TextBuffer text(reportStorage, sizeof reportStorage);
    crash::appendReportHead(text, facts);
    crash::appendReportQuestion(text);
    text.append("\r\n");
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    if (error != nullptr && error != INVALID_HANDLE_VALUE)
        WriteFile(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

[[noreturn]] void leaveThroughFinalCleanup()
{
    const HANDLE watchdog = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            Sleep(kCleanupMs);
            TerminateProcess(GetCurrentProcess(), 0);
            return 0;
        },
        nullptr, 0, nullptr);
    if (watchdog != nullptr)
        CloseHandle(watchdog);
    finalCleanup();
}

DWORD WINAPI report(void*)
{
    switch (ask(faultRecord)) {
    case Answer::Yes:
        TerminateProcess(GetCurrentProcess(), 0);
        break;
    case Answer::None:
        writeReportToStandardError(faultRecord);
        leaveThroughFinalCleanup();
    case Answer::No:
        leaveThroughFinalCleanup();
    }
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* pointers)
{
    DWORD nobody = 0;
    if (!reportingThread.compare_exchange_strong(nobody, GetCurrentThreadId())) {
        // Another thread's report is under way and will end the process (or this thread faulted
        // again while reporting): never return to the instruction that faulted.
        for (;;)
            Sleep(INFINITE);
    }
    faultRecord = *pointers->ExceptionRecord;
    const HANDLE reporter = CreateThread(nullptr, kReportStack, report, nullptr,
                                         STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (reporter == nullptr)
        report(nullptr);
    WaitForSingleObject(reporter, INFINITE);
    TerminateProcess(GetCurrentProcess(), 0);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

CrashHelpers crashHelpersIn(const std::string& programFolder)
{
    // On Windows both helpers are the program itself, started with kCrashBoxArgument.
    (void)programFolder;
    return {};
}

void installCrashReporter(const CrashHelpers& helpers)
{
    (void)helpers;
    if (installation.installed)
        return;
    const DWORD length = GetModuleFileNameW(nullptr, installation.program, kPathCapacity);
    if (length == 0 || length >= kPathCapacity)
        installation.program[0] = L'\0';
    installation.previous = SetUnhandledExceptionFilter(onUnhandledException);
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
    SetUnhandledExceptionFilter(installation.previous);
    installation.installed = false;
}

} // namespace velmora

// A program that installs the crash reporter and then faults in the way its first argument
// names. Before it faults it writes, to "expected" in the record folder, where the report must
// point: the faulting function's address, and the file and lines of the faulting statement.
//
//   crash_child KIND QUESTION-PROGRAM LOCATOR-PROGRAM RECORD-FOLDER
//
// Its final cleanup writes "cleanup-ran" into the record folder, as the program's releases would
// run at that point.

#include "crash/crash_reporter.h"
#include "core/final_cleanup.h"
#include "core/signal_stack.h"

#include <atomic>
#include <cfenv>
#include <cfloat>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pthread.h>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <xmmintrin.h>

namespace {

std::string recordFolder;
volatile int keepGoing = 1;
volatile int zero = 0;
volatile int minusOne = -1;
volatile int smallest = INT_MIN;
volatile double zeroDouble = 0.0;
volatile double sink = 0.0;

void expect(const void* function, int firstLine, int lastLine)
{
    std::ofstream(recordFolder + "/expected")
        << reinterpret_cast<std::uintptr_t>(function) << '\t' << "crash_child.cpp" << '\t'
        << firstLine << '\t' << lastLine << '\n';
}

__attribute__((noinline)) void nullWrite()
{
    expect(reinterpret_cast<const void*>(&nullWrite), __LINE__ + 2, __LINE__ + 2);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

constexpr int kRecursionFirst = __LINE__ + 1;
__attribute__((noinline)) int recurse(int depth)
{
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    if (keepGoing == 0)
        return frame[0];
    return recurse(depth + 1) + frame[0];
}
constexpr int kRecursionLast = __LINE__ - 1;

__attribute__((noinline)) void stackOverflow()
{
    expect(reinterpret_cast<const void*>(&recurse), kRecursionFirst, kRecursionLast);
    sink = recurse(0);
}

__attribute__((noinline)) void divideByZero()
{
    expect(reinterpret_cast<const void*>(&divideByZero), __LINE__ + 1, __LINE__ + 1);
    sink = 100 / zero;
}

__attribute__((noinline)) void overflowingDivision()
{
    expect(reinterpret_cast<const void*>(&overflowingDivision), __LINE__ + 1, __LINE__ + 1);
    sink = smallest / minusOne;
}

__attribute__((noinline)) void overflowingDivisionFromMemory()
{
#if defined(__x86_64__)
    static int divisor = -1;
    int low = INT_MIN;
    int high = -1;
    expect(reinterpret_cast<const void*>(&overflowingDivisionFromMemory), __LINE__ + 1,
           __LINE__ + 1);
    asm volatile("idivl %2" : "+a"(low), "+d"(high) : "m"(divisor));
    sink = low;
#endif
}

__attribute__((noinline)) void trap()
{
    expect(reinterpret_cast<const void*>(&trap), __LINE__ + 1, __LINE__ + 1);
    __builtin_trap();
}

__attribute__((noinline)) void breakpoint()
{
    expect(reinterpret_cast<const void*>(&breakpoint), 0, 0);
#if defined(__x86_64__)
    asm volatile("int3");
#endif
}

__attribute__((noinline)) void privilegedInstruction()
{
    expect(reinterpret_cast<const void*>(&privilegedInstruction), __LINE__ + 2, __LINE__ + 2);
#if defined(__x86_64__)
    asm volatile("hlt");
#endif
}

__attribute__((noinline)) void singleStep()
{
    expect(reinterpret_cast<const void*>(&singleStep), 0, 0);
#if defined(__x86_64__)
    asm volatile("pushfq\n orq $0x100, (%rsp)\n popfq\n nop\n nop");
#endif
}

__attribute__((noinline)) void floatDivision()
{
    feenableexcept(FE_DIVBYZERO);
    expect(reinterpret_cast<const void*>(&floatDivision), __LINE__ + 1, __LINE__ + 1);
    sink = 1.0 / zeroDouble;
}

__attribute__((noinline)) void floatOverflow()
{
    feenableexcept(FE_OVERFLOW);
    volatile double large = DBL_MAX;
    expect(reinterpret_cast<const void*>(&floatOverflow), __LINE__ + 1, __LINE__ + 1);
    sink = large * 4.0;
}

__attribute__((noinline)) void floatUnderflow()
{
    feenableexcept(FE_UNDERFLOW);
    volatile double tiny = DBL_MIN;
    expect(reinterpret_cast<const void*>(&floatUnderflow), __LINE__ + 1, __LINE__ + 1);
    sink = tiny / 1e10;
}

__attribute__((noinline)) void floatInvalid()
{
    feenableexcept(FE_INVALID);
    expect(reinterpret_cast<const void*>(&floatInvalid), __LINE__ + 1, __LINE__ + 1);
    sink = zeroDouble / zeroDouble;
}

__attribute__((noinline)) void floatInexact()
{
    feenableexcept(FE_INEXACT);
    volatile double one = 1.0;
    expect(reinterpret_cast<const void*>(&floatInexact), __LINE__ + 1, __LINE__ + 1);
    sink = one / 3.0;
}

__attribute__((noinline)) void floatDenormal()
{
    _mm_setcsr(_mm_getcsr() & ~0x100u); // unmask the denormal-operand exception
    volatile double denormal = 1e-310;
    expect(reinterpret_cast<const void*>(&floatDenormal), __LINE__ + 1, __LINE__ + 1);
    sink = denormal * 2.0;
}

__attribute__((noinline)) void floatStack()
{
#if defined(__x86_64__)
    // Nine loads into the eight x87 registers, with invalid-operation faults unmasked.
    const unsigned short control = 0x037E;
    expect(reinterpret_cast<const void*>(&floatStack), 0, 0);
    asm volatile("fninit\n fldcw %0\n fld1\n fld1\n fld1\n fld1\n fld1\n fld1\n fld1\n fld1\n"
                 " fld1\n fwait\n fninit" ::"m"(control));
#endif
}

__attribute__((noinline)) void pageError()
{
    // A mapping longer than its file: the page past the end has nothing behind it.
    const std::string path = recordFolder + "/short-file";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || ::ftruncate(fd, 16) != 0)
        ::_exit(90);
    const long page = ::sysconf(_SC_PAGESIZE);
    void* mapping = ::mmap(nullptr, static_cast<std::size_t>(2 * page), PROT_READ | PROT_WRITE,
                           MAP_SHARED, fd, 0);
    if (mapping == MAP_FAILED)
        ::_exit(91);
    volatile char* bytes = static_cast<volatile char*>(mapping);
    expect(reinterpret_cast<const void*>(&pageError), __LINE__ + 1, __LINE__ + 1);
    bytes[page] = 1;
}

__attribute__((noinline)) void faultInLibrary()
{
    expect(nullptr, 0, 0);
    static const char* volatile nowhere = nullptr;
    sink = static_cast<double>(std::strlen(nowhere));
}

void onSecondThread(void (*fault)(), bool ownStack)
{
    std::thread second([fault, ownStack] {
        std::unique_ptr<velmora::AlternateSignalStack> stack;
        if (ownStack)
            stack = std::make_unique<velmora::AlternateSignalStack>();
        fault();
    });
    second.join();
}

// Both threads fault at nearly the same moment; one report must come of it.
void twoThreadsAtOnce()
{
    expect(reinterpret_cast<const void*>(&nullWrite), 0, 0);
    std::atomic<int> ready{0};
    auto body = [&ready] {
        ready.fetch_add(1);
        while (ready.load() < 2) {
        }
        volatile int* nowhere = nullptr;
        *nowhere = 2;
    };
    std::thread first(body);
    std::thread second(body);
    first.join();
    second.join();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5)
        return 2;
    const std::string kind = argv[1];
    recordFolder = argv[4];
    velmora::installCrashReporter({argv[2], argv[3]});
    velmora::atFinalCleanup([] { std::ofstream(recordFolder + "/cleanup-ran") << "yes\n"; });

    if (kind == "null-write")
        nullWrite();
    else if (kind == "stack-overflow")
        stackOverflow();
    else if (kind == "divide-by-zero")
        divideByZero();
    else if (kind == "integer-overflow")
        overflowingDivision();
    else if (kind == "integer-overflow-memory")
        overflowingDivisionFromMemory();
    else if (kind == "trap")
        trap();
    else if (kind == "breakpoint")
        breakpoint();
    else if (kind == "privileged")
        privilegedInstruction();
    else if (kind == "single-step")
        singleStep();
    else if (kind == "float-division")
        floatDivision();
    else if (kind == "float-overflow")
        floatOverflow();
    else if (kind == "float-underflow")
        floatUnderflow();
    else if (kind == "float-invalid")
        floatInvalid();
    else if (kind == "float-inexact")
        floatInexact();
    else if (kind == "float-denormal")
        floatDenormal();
    else if (kind == "float-stack")
        floatStack();
    else if (kind == "page-error")
        pageError();
    else if (kind == "library-fault")
        faultInLibrary();
    else if (kind == "thread-null-write")
        onSecondThread(nullWrite, false);
    else if (kind == "thread-stack-overflow")
        onSecondThread(stackOverflow, true);
    else if (kind == "two-threads")
        twoThreadsAtOnce();
    else if (kind == "sent-signal")
        ::kill(::getpid(), SIGSEGV);
    else if (kind == "removed") {
        velmora::removeCrashReporter();
        nullWrite();
    } else
        return 3;
    return 4; // the fault did not happen
}

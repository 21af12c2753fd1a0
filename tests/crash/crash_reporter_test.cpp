// The crash reporter end to end: a child program installs it and faults, the question is
// answered by a stand-in that records the report and the clipboard part, and the source line
// comes from the real locator reading the child's debug information.

#include "support/file_bytes.h"
#include "support/launched_program.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace velmora {
namespace {

using namespace std::chrono_literals;
using test::fileBytes;
using test::LaunchedProgram;
using test::TemporaryFolder;

struct Expected {
    std::uintptr_t function = 0;
    std::string module;
    int firstLine = 0; // 0: the fault has no source line of its own
    int lastLine = 0;
};

struct CrashRun {
    std::optional<int> exitCode;
    std::string report;
    std::string clipboard;
    std::string output; // standard output and error of the child
    int questions = 0;
    bool cleanupRan = false;
    Expected expected;
};

class CrashReporterTest : public ::testing::Test {
protected:
    CrashRun run(const std::string& kind, const std::string& answer = "No",
                 const std::string& questionProgram = CRASH_QUESTION_DOUBLE)
    {
        const std::string outputFile = folder_.path() + "/output";
        CrashRun result;
        {
            LaunchedProgram child(
                {CRASH_CHILD, kind, questionProgram, FAULT_LOCATOR, folder_.path()},
                {{"CRASH_RECORD_DIR", folder_.path()}, {"CRASH_ANSWER", answer}}, outputFile);
            result.exitCode = child.waitFor(60s);
        }
        result.report = fileBytes(folder_.path() + "/report");
        result.clipboard = fileBytes(folder_.path() + "/clipboard");
        result.output = fileBytes(outputFile);
        const std::string calls = fileBytes(folder_.path() + "/calls");
        for (char c : calls)
            result.questions += c == '\n';
        result.cleanupRan = std::filesystem::exists(folder_.path() + "/cleanup-ran");
        std::istringstream expected(fileBytes(folder_.path() + "/expected"));
        std::string function;
        std::getline(expected, function, '\t');
        std::getline(expected, result.expected.module, '\t');
        expected >> result.expected.firstLine >> result.expected.lastLine;
        result.expected.function = function.empty() ? 0 : std::stoull(function);
        return result;
    }

    // Checks every line of the report: message and code exactly, the address inside the function
    // that faulted, module and line as the debug information of the child names them.
    static void expectReport(const CrashRun& run, const std::string& message, int code)
    {
        ASSERT_EQ(run.exitCode, 0) << run.output;
        ASSERT_EQ(run.questions, 1);
        const std::regex layout("A program error occurred!\r\n\r\n"
                                "Error message:\t([^\r\n]*)\r\n"
                                "Error code:\t(-?[0-9]+)\r\n\r\n"
                                "Error address:\t(-?[0-9]+)\r\n"
                                "Program name:\tVelmora\r\n"
                                "Program version:\tVersion 1.9.1306\r\n"
                                "Program module:\t([^\r\n]*)\r\n"
                                "Program line:\t(-?[0-9]+)\r\n\r\n");
        const std::string closing =
            "Please send this information which is now in the clipboard to\r\n"
            "Corvantis Software Support, support@corvantis.example\r\n\r\n"
            "Continue program execution?    (not recommended)";
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(run.clipboard, parts, layout)) << run.clipboard;
        EXPECT_EQ(run.report, run.clipboard + closing);
        EXPECT_EQ(parts[1].str(), message);
        EXPECT_EQ(parts[2].str(), std::to_string(code));

        const long long address = std::stoll(parts[3].str());
        ASSERT_GT(run.expected.function, 0u);
        EXPECT_GE(static_cast<std::uintptr_t>(address), run.expected.function);
        EXPECT_LT(static_cast<std::uintptr_t>(address), run.expected.function + 512)
            << "the address of the faulting instruction, in the function that faulted";

        if (run.expected.firstLine > 0) {
            EXPECT_EQ(parts[4].str(), run.expected.module);
            const int line = std::stoi(parts[5].str());
            EXPECT_GE(line, run.expected.firstLine);
            EXPECT_LE(line, run.expected.lastLine);
        }
    }

    TemporaryFolder folder_;
};

TEST_F(CrashReporterTest, NullPointerWriteIsAnInvalidMemoryAccessAtItsLine)
{
    const CrashRun result = run("null-write");
    expectReport(result, "Invalid memory access", -1073741819);
}

TEST_F(CrashReporterTest, EndlessRecursionIsAStackOverflow)
{
    const CrashRun result = run("stack-overflow");
    expectReport(result, "Stack overflow", -1073741571);
}

TEST_F(CrashReporterTest, IntegerDivisionByZeroKeepsTheTrailingBlank)
{
    const CrashRun result = run("divide-by-zero");
    expectReport(result, "Division by zero ", -1073741676);
}

TEST_F(CrashReporterTest, TrapInstructionIsAnIllegalInstruction)
{
    const CrashRun result = run("trap");
    expectReport(result, "Illegal instruction", -1073741795);
}

TEST_F(CrashReporterTest, FaultOnASecondThreadIsReported)
{
    const CrashRun result = run("thread-null-write");
    expectReport(result, "Invalid memory access", -1073741819);
}

TEST_F(CrashReporterTest, StackOverflowOnASecondThreadWithItsOwnReportStack)
{
    const CrashRun result = run("thread-stack-overflow");
    expectReport(result, "Stack overflow", -1073741571);
}

TEST_F(CrashReporterTest, TwoThreadsFaultingAtOnceGiveOneReport)
{
    const CrashRun result = run("two-threads");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.questions, 1);
    EXPECT_NE(result.report.find("Invalid memory access"), std::string::npos);
}

#if defined(__x86_64__)
TEST_F(CrashReporterTest, QuotientThatDoesNotFitIsAnIntegerOverflow)
{
    expectReport(run("integer-overflow"), "Integer overflow", -1073741675);
}

TEST_F(CrashReporterTest, QuotientOverflowWithTheDivisorInMemory)
{
    expectReport(run("integer-overflow-memory"), "Integer overflow", -1073741675);
}

TEST_F(CrashReporterTest, BreakpointInstruction)
{
    expectReport(run("breakpoint"), "Debugger breakpoint reached", -2147483645);
}

TEST_F(CrashReporterTest, PrivilegedInstruction)
{
    expectReport(run("privileged"), "Privileged instruction", -1073741674);
}

TEST_F(CrashReporterTest, SingleStepTrap)
{
    expectReport(run("single-step"), "Single step trap", -2147483644);
}

TEST_F(CrashReporterTest, FloatingPointFaultsByKind)
{
    const struct {
        const char* kind;
        const char* message;
        int code;
    } cases[] = {
        {"float-division", "Division by zero (floating-point)", -1073741682},
        {"float-overflow", "Floating-point overflow (exponent to great)", -1073741679},
        {"float-underflow", "Floating-point underflow (exponent too small)", -1073741677},
        {"float-invalid", "Invalid floating-point operation", -1073741680},
        {"float-inexact", "Inexact floating-point result", -1073741681},
        {"float-denormal", "Denormal floating-point operand", -1073741683},
        {"float-stack", "Floating-point stack overflow or underflow", -1073741678},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.kind);
        std::filesystem::remove(folder_.path() + "/calls");
        expectReport(run(expected.kind), expected.message, expected.code);
    }
}
#endif

TEST_F(CrashReporterTest, MappingPastTheEndOfItsFileIsAPageError)
{
    expectReport(run("page-error"), "Memory page error", -1073741818);
}

TEST_F(CrashReporterTest, FaultOutsideTheProgramHasNoSourceLine)
{
    const CrashRun result = run("library-fault");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.clipboard.find("Error message:\tInvalid memory access\r\n"),
              std::string::npos);
    EXPECT_TRUE(result.clipboard.ends_with("Program module:\tOnError line support disabled\r\n"
                                           "Program line:\t-1\r\n\r\n"))
        << result.clipboard;
}

TEST_F(CrashReporterTest, WithoutTheLocatorTheReportStillComes)
{
    const std::string outputFile = folder_.path() + "/output";
    LaunchedProgram child({CRASH_CHILD, "null-write", CRASH_QUESTION_DOUBLE,
                           folder_.path() + "/no-locator", folder_.path()},
                          {{"CRASH_RECORD_DIR", folder_.path()}, {"CRASH_ANSWER", "No"}},
                          outputFile);
    EXPECT_EQ(child.waitFor(60s), 0);
    const std::string clipboard = fileBytes(folder_.path() + "/clipboard");
    EXPECT_NE(clipboard.find("Error code:\t-1073741819\r\n"), std::string::npos);
    EXPECT_TRUE(clipboard.ends_with("Program module:\tOnError line support disabled\r\n"
                                    "Program line:\t-1\r\n\r\n"))
        << clipboard;
}

TEST_F(CrashReporterTest, NoEndsThroughTheFinalCleanupAndLeavesTheFilesAlone)
{
    // What the program keeps between runs, beside the child's record.
    const std::string working = folder_.path() + "/Velmora.png";
    const std::string settings = folder_.path() + "/Velmora.conf";
    std::ofstream(working) << "picture";
    std::ofstream(settings) << "[General]\nPosX=300\n";

    const CrashRun result = run("null-write", "No");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.questions, 1);
    EXPECT_TRUE(result.cleanupRan);
    EXPECT_EQ(fileBytes(working), "picture");
    EXPECT_EQ(fileBytes(settings), "[General]\nPosX=300\n");
}

TEST_F(CrashReporterTest, YesEndsAtOnceWithoutCleanup)
{
    const CrashRun result = run("null-write", "Yes");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.questions, 1);
    EXPECT_FALSE(result.cleanupRan);
}

TEST_F(CrashReporterTest, WithoutAnyoneToAskTheReportGoesToStandardError)
{
    const CrashRun result = run("null-write", "No", folder_.path() + "/no-such-program");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.cleanupRan);
    EXPECT_NE(result.output.find("A program error occurred!\r\n"), std::string::npos);
    EXPECT_NE(result.output.find("Error message:\tInvalid memory access\r\n"), std::string::npos);
}

TEST_F(CrashReporterTest, SignalSentByAnotherProcessIsNotAFault)
{
    const CrashRun result = run("sent-signal");
    EXPECT_EQ(result.exitCode, 128 + SIGSEGV);
    EXPECT_EQ(result.questions, 0);
}

TEST_F(CrashReporterTest, AfterRemovalFaultsTakeTheirDefaultCourse)
{
    const CrashRun result = run("removed");
    EXPECT_EQ(result.exitCode, 128 + SIGSEGV);
    EXPECT_EQ(result.questions, 0);
    EXPECT_FALSE(result.cleanupRan);
}

} // namespace
} // namespace velmora

#include "crash/crash_report_text.h"

#include "core/program_version.h"
#include "crash/crash_codes.h"

namespace velmora::crash {

void appendReportHead(TextBuffer& text, const CrashRecord& record)
{
    text.append("A program error occurred!\r\n\r\n");
    text.append("Error message:\t");
    text.append(crashMessage(record.code));
    text.append("\r\nError code:\t");
    text.appendDecimal(static_cast<std::int32_t>(record.code));
    text.append("\r\n\r\nError address:\t");
    // Signed, as users have always sent it in, but as wide as the address: its lower half alone
    // would point nowhere.
    text.appendDecimal(static_cast<std::intptr_t>(record.address));
    text.append("\r\nProgram name:\tVelmora\r\n");
    text.append("Program version:\tVersion ");
    text.append(kProgramVersion);
    text.append("\r\n");
    text.append("Program module:\t");
    const bool located = record.module != nullptr && record.line >= 0;
    text.append(located ? record.module : kNoLineSupport);
    text.append("\r\nProgram line:\t");
    text.appendDecimal(located ? (record.line & 0xFFFFFF) : -1);
    text.append("\r\n\r\n");
}

void appendReportQuestion(TextBuffer& text)
{
    text.append("Please send this information which is now in the clipboard to\r\n");
    text.append("Corvantis Software Support, support@corvantis.example\r\n\r\n");
    text.append("Continue program execution?    (not recommended)");
}

} // namespace velmora::crash

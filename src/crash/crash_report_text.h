#pragma once
// The report a fault produces, in the layout users have always sent to the maker: tab between
// label and value, CR LF line ends, codes as signed decimals. Built inside the fault handler.

#include "crash/text_buffer.h"

#include <cstdint>

namespace velmora::crash {

struct CrashRecord {
    std::uint32_t code = 0;
    std::uintptr_t address = 0;   // of the faulting instruction
    const char* module = nullptr; // source file of the faulting line; nullptr when not known
    std::int32_t line = -1;       // -1 when not known
};

// The module text when no line could be found for the address.
inline constexpr const char* kNoLineSupport = "OnError line support disabled";

// From "A program error occurred!" through the "Program line" line and its two line breaks:
// the part that goes on the clipboard.
void appendReportHead(TextBuffer& text, const CrashRecord& record);
// The request to send the report in, and the question.
void appendReportQuestion(TextBuffer& text);

} // namespace velmora::crash

#include "gui/win32_crash_box.h"

#include "core/local_file.h"
#include "crash/crash_box_request.h"
#include "crash/crash_report_text.h"
#include "crash/dwarf_line_program.h"
#include "crash/text_buffer.h"
#include "crash/win32_pe_sections.h"
#include "gui/win32_message_boxes.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <vector>

namespace velmora {
namespace {

std::optional<std::uint64_t> hexadecimal(const std::string& text)
{
    if (text.empty() || text.size() > 16)
        return std::nullopt;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 16);
    if (end != text.c_str() + text.size())
        return std::nullopt;
    return value;
}

// The source file and line of the fault from the module's DWARF line tables, where the build has
// them. Whatever is wrong with the file, the answer is "no line", never a second fault.
std::optional<SourceLine> sourceLine(const std::string& modulePath, std::uint64_t offset)
{
    if (modulePath.empty())
        return std::nullopt;
    try {
        const std::optional<std::string> bytes = readWholeFile(modulePath);
        if (!bytes)
            return std::nullopt;
        const std::vector<unsigned char> image(bytes->begin(), bytes->end());
        const crash::PeDebugSections found = crash::findPeDebugSections(image);
        if (found.sections.line.begin == nullptr)
            return std::nullopt;
        return crash::sourceLineInLineTables(found.sections, found.imageBase + offset);
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// The name without its folders, and nothing in it that could break the report's line.
std::string shownName(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return name;
}

// Without a line table: the module's file name and the offset of the fault in it, where the
// maker finds the instruction in the build's map; the line then reads 0.
std::string moduleAndOffset(const std::string& modulePath, std::uint64_t offset)
{
    if (modulePath.empty())
        return {};
    char buffer[32];
    TextBuffer hex(buffer, sizeof buffer);
    hex.append("+0x");
    hex.appendHexadecimal(offset);
    return shownName(modulePath) + hex.data();
}

// The first part of the report as CF_TEXT, its terminating zero included. Nothing is stored when
// the clipboard cannot be opened.
void putOnClipboard(const char* text, std::size_t length)
{
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length + 1)) {
        if (void* bytes = GlobalLock(memory)) {
            std::memcpy(bytes, text, length);
            static_cast<char*>(bytes)[length] = '\0';
            GlobalUnlock(memory);
            if (SetClipboardData(CF_TEXT, memory) == nullptr)
                GlobalFree(memory);
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

} // namespace

int runCrashBox(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 3)
        return 2;
    const auto code = hexadecimal(arguments[0]);
    const auto address = hexadecimal(arguments[1]);
    const auto offset = hexadecimal(arguments[2]);
    if (!code || !address || !offset)
        return 2;
    const std::string modulePath = arguments.size() > 3 ? arguments[3] : std::string();

    crash::CrashRecord record;
    record.code = static_cast<std::uint32_t>(*code);
    record.address = static_cast<std::uintptr_t>(*address);
    const std::optional<SourceLine> line = sourceLine(modulePath, *offset);
    const std::string module = line ? shownName(line->file) : moduleAndOffset(modulePath, *offset);
    if (!module.empty()) {
        record.module = module.c_str();
        record.line = line ? line->line : 0;
    }

    static char storage[8192];
    TextBuffer text(storage, sizeof storage);
    crash::appendReportHead(text, record);
    const std::size_t clipboardLength = text.size();
    crash::appendReportQuestion(text);
    putOnClipboard(text.data(), clipboardLength);

    const BoxAnswer answer =
        showMessageBoxNow("ERROR", text.data(), BoxButtons::YesNo, BoxModality::SystemModal);
    return static_cast<int>(answer == BoxAnswer::Yes ? crash::kCrashAnswerYes
                                                     : crash::kCrashAnswerNo);
}

} // namespace velmora

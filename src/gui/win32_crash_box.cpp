#include "gui/win32_crash_box.h"

#include "crash/crash_box_request.h"
#include "crash/crash_report_text.h"
#include "crash/text_buffer.h"
#include "gui/win32_message_boxes.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <optional>

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

// The module's file name and the offset of the fault in it: where the maker finds the
// instruction in the build's map, since this build carries no line table.
std::string moduleAndOffset(const std::string& modulePath, std::uint64_t offset)
{
    if (modulePath.empty())
        return {};
    const auto slash = modulePath.find_last_of("\\/");
    char buffer[32];
    TextBuffer hex(buffer, sizeof buffer);
    hex.append("+0x");
    hex.appendHexadecimal(offset);
    return modulePath.substr(slash == std::string::npos ? 0 : slash + 1) + hex.data();
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
    const std::string module = moduleAndOffset(modulePath, *offset);
    if (!module.empty()) {
        record.module = module.c_str();
        record.line = 0; // no line known
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

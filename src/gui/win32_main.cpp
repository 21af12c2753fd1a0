// The Windows program: command line, then the same start-up as everywhere through
// app/program.h with the Win32 front end, the GDI screen and the unhandled-exception filter.

#include "app/command_line.h"
#include "app/program.h"
#include "app/win32_wide_text.h"
#include "core/clock.h"
#include "core/final_cleanup.h"
#include "crash/crash_box_request.h"
#include "crash/crash_reporter.h"
#include "gui/win32_crash_box.h"
#include "gui/win32_front_end.h"
#include "gui/win32_message_boxes.h"
#include "screen/win32_screen_source.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

constexpr char kImageLibrary[] = "IMAGE.DLL";

std::vector<std::string> commandLineArguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
    if (list == nullptr)
        return arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(velmora::windows1252FromWide(list[i]));
    LocalFree(list);
    return arguments;
}

// The name the user typed, without its folder, as usage lines show it.
std::string shortName(const std::string& programName)
{
    const auto slash = programName.find_last_of("\\/");
    return slash == std::string::npos ? programName : programName.substr(slash + 1);
}

// A program without a console of its own writes to the one it was started from, or to where
// its output was sent; with neither, the text is shown in a box.
bool tell(const std::string& text, bool error)
{
    HANDLE output = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if ((output == nullptr || output == INVALID_HANDLE_VALUE) &&
        AttachConsole(ATTACH_PARENT_PROCESS))
        output = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) {
        velmora::showMessageBoxNow(error ? "Velmora - Fehler" : "Velmora", text,
                                   velmora::BoxButtons::Ok, velmora::BoxModality::Ordinary);
        return true;
    }
    std::string lines;
    for (const char c : text) {
        if (c == '\n')
            lines += '\r';
        lines += c;
    }
    DWORD written = 0;
    return WriteFile(output, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) !=
               FALSE &&
           written == lines.size();
}

int runProgram()
{
    // Screen pixels as they are, not scaled for a high-dpi display: the capture and the region
    // tools measure in them.
    SetProcessDPIAware();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    velmora::Win32FrontEnd frontEnd;
    const auto openScreen = [](const std::string&) -> std::unique_ptr<velmora::ScreenSource> {
        return std::make_unique<velmora::Win32ScreenSource>();
    };
    const auto installReporter = [](const std::string& programFolder) {
        velmora::installCrashReporter(velmora::crashHelpersIn(programFolder));
    };
    const velmora::ProgramParts parts{
        frontEnd,        velmora::systemClock(),          openScreen,
        installReporter, [] { velmora::finalCleanup(); }, kImageLibrary};
    velmora::runProgram(parts);
    velmora::finalCleanup();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::vector<std::string> all = commandLineArguments();
    const std::string programName = shortName(all.empty() ? "velmora.exe" : all.front());
    const std::vector<std::string> arguments(all.begin() + (all.empty() ? 0 : 1), all.end());

    // A fresh copy started by the crash reporter of a copy that faulted.
    if (!arguments.empty() && arguments.front() == velmora::crash::kCrashBoxArgument)
        return velmora::runCrashBox({arguments.begin() + 1, arguments.end()});

    return velmora::runFromCommandLine(programName, arguments, tell, runProgram);
}

// A helper of the black-box scenarios under Wine, run beside the program in the same Wine prefix:
// it does what a presenter's desktop does to the program from outside, and reads what a presenter
// reads on the screen.
//   velmora_scenario_probe fault IMAGE      a thread of the running IMAGE (e.g. velmora.exe) is
//                                           started at an address where nothing is mapped: a real
//                                           access violation inside that process
//   velmora_scenario_probe box CAPTION      the texts of the open message boxes with this caption,
//                                           one box after the other, in UTF-8
//   velmora_scenario_probe clipboard        the clipboard's text, in UTF-8
// Exit code 0 when it did so; 1 when there was nothing to act on or read.

#include <windows.h>

#include <tlhelp32.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

void write(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

DWORD processOf(const wchar_t* image)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && found == 0;
         more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, image) == 0)
            found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

int fault(const wchar_t* image)
{
    const DWORD id = processOf(image);
    if (id == 0)
        return 1;
    const HANDLE process =
        OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                        PROCESS_VM_READ | PROCESS_VM_WRITE,
                    FALSE, id);
    if (process == nullptr)
        return 1;
    // The first page is never mapped: the new thread faults on its first instruction.
    const auto nowhere = reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<ULONG_PTR>(0x10));
    const HANDLE thread = CreateRemoteThread(process, nullptr, 0, nowhere, nullptr, 0, nullptr);
    const bool started = thread != nullptr;
    if (started)
        CloseHandle(thread);
    CloseHandle(process);
    return started ? 0 : 1;
}

std::wstring windowText(HWND window)
{
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1);
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return std::wstring(text.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

struct BoxSearch {
    const wchar_t* caption;
    std::wstring texts;
    int found = 0;
};

// A message box is a dialog whose text is the static control with the id 0xFFFF.
BOOL CALLBACK visitWindow(HWND window, LPARAM search)
{
    auto& wanted = *reinterpret_cast<BoxSearch*>(search);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (!IsWindowVisible(window) || std::wcscmp(className, L"#32770") != 0 ||
        windowText(window) != wanted.caption)
        return TRUE;
    if (const HWND text = GetDlgItem(window, 0xFFFF)) {
        wanted.texts += windowText(text) + L"\n";
        ++wanted.found;
    }
    return TRUE;
}

int box(const wchar_t* caption)
{
    BoxSearch search{caption, {}};
    EnumWindows(visitWindow, reinterpret_cast<LPARAM>(&search));
    write(search.texts);
    return search.found > 0 ? 0 : 1;
}

int clipboard()
{
    if (!OpenClipboard(nullptr))
        return 1;
    int result = 1;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            write(text);
            GlobalUnlock(data);
            result = 0;
        }
    }
    CloseClipboard();
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"fault" && argc == 3)
        return fault(argv[2]);
    if (command == L"box" && argc == 3)
        return box(argv[2]);
    if (command == L"clipboard" && argc == 2)
        return clipboard();
    write(L"usage: velmora_scenario_probe fault IMAGE | box CAPTION | clipboard\n");
    return 2;
}

#include "gui/win32_main_window.h"

#include "gui/win32_fonts.h"

namespace velmora {
namespace {

constexpr int kClientWidth = 158;
constexpr int kClientHeight = 78; // the menu bar takes its height out of this
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr UINT kTrayClick = WM_APP + 2;

enum Command : int {
    kStart = 11,
    kStop = 12,
    kClear = 13,
    kExit = 14,
    kQuit = 201,
    kSettings = 202,
    kToTray = 203,
    kHelp = 204,
    kAbout = 205,
};

HMENU makeMenu()
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kQuit, L"&Beenden");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&Datei");
    HMENU extras = CreatePopupMenu();
    AppendMenuW(extras, MF_STRING, kSettings, L"E&instellungen");
    AppendMenuW(extras, MF_STRING, kToTray, L"&Minimieren in Infobereich");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(extras), L"&Extras");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, kHelp, L"&Online Hilfe");
    AppendMenuW(help, MF_STRING, kAbout, L"&\u00DCber ...");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Hilfe");
    return bar;
}

} // namespace

Win32MainWindow::Win32MainWindow(WindowPosition position, MainWindowCommands commands, HICON icon)
    : commands_(std::move(commands)), tray_(nullptr, kTrayClick, icon),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated"))
{
    const SIZE outer = outerSizeForClient(kClientWidth, kClientHeight, kStyle, WS_EX_TOPMOST);
    Shape shape;
    shape.exStyle = WS_EX_TOPMOST;
    shape.style = kStyle;
    shape.x = position.x;
    shape.y = position.y;
    shape.width = outer.cx;
    shape.height = outer.cy;
    shape.menu = makeMenu(); // destroyed with the window
    if (!create("Velmora", shape))
        return;
    tray_.setWindow(handle());
    if (icon != nullptr) {
        SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    const HFONT font = gadgetFont();
    addGadget(L"BUTTON", "Start", BS_PUSHBUTTON | WS_TABSTOP, 3, 0, 36, 18, kStart, font);
    addGadget(L"BUTTON", "Stop", BS_PUSHBUTTON | WS_TABSTOP, 41, 0, 36, 18, kStop, font);
    addGadget(L"BUTTON", "Clear", BS_PUSHBUTTON | WS_TABSTOP, 79, 0, 36, 18, kClear, font);
    addGadget(L"BUTTON", "Exit", BS_PUSHBUTTON | WS_TABSTOP, 117, 0, 36, 18, kExit, font);
    statusText_ = "Status";
    status_ = addGadget(L"STATIC", statusText_, SS_LEFT | SS_NOPREFIX, 6, 40, 145, 15, -1, font);
    ShowWindow(handle(), SW_SHOWNORMAL);
    UpdateWindow(handle());
}

Win32MainWindow::~Win32MainWindow()
{
    tray_.remove();
    destroy();
}

void Win32MainWindow::setStatusLine(const std::string& text)
{
    // Unchanged text is not set again: every pass writes it, and a repaint each time would
    // show up as a change on the screen.
    if (text == statusText_ || status_ == nullptr)
        return;
    statusText_ = text;
    setGadgetText(status_, text);
}

void Win32MainWindow::setTrayTooltip(const std::string& text)
{
    tray_.setTooltip(text);
}

WindowPosition Win32MainWindow::position() const
{
    RECT outer{};
    if (handle() == nullptr || !GetWindowRect(handle(), &outer))
        return {};
    return {outer.left, outer.top};
}

void Win32MainWindow::minimiseToTray()
{
    if (tray_.shown())
        return;
    // Without a tray to go to, the window stays where it is: hidden, it would be lost for good.
    if (!tray_.add("Velmora"))
        return;
    ShowWindow(handle(), SW_HIDE);
}

void Win32MainWindow::restoreFromTray()
{
    if (!tray_.shown())
        return;
    tray_.remove();
    ShowWindow(handle(), SW_SHOW);
    ShowWindow(handle(), SW_RESTORE);
    SetForegroundWindow(handle());
}

void Win32MainWindow::onCommand(int id)
{
    const auto run = [](const std::function<void()>& command) {
        if (command)
            command();
    };
    switch (id) {
    case kStart:
        return run(commands_.start);
    case kStop:
        return run(commands_.stop);
    case kClear:
        return run(commands_.clear);
    case kExit:
    case kQuit:
        return run(commands_.quit);
    case kSettings:
        return run(commands_.openSettings);
    case kToTray:
        return minimiseToTray();
    case kHelp:
        return run(commands_.openHelp);
    case kAbout:
        return run(commands_.openAbout);
    default:
        return;
    }
}

LRESULT Win32MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == 0)
            onCommand(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        // Shut-down takes it from here; the window stays until the program ends.
        if (commands_.quit)
            commands_.quit();
        return 0;
    case kTrayClick:
        // A press of either button brings the window back; double clicks add nothing.
        if (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN)
            restoreFromTray();
        return 0;
    default:
        if (message == taskbarCreated_ && taskbarCreated_ != 0) {
            tray_.addAgain();
            return 0;
        }
        return byDefault(message, wParam, lParam);
    }
}

} // namespace velmora

#include "gui/win32_described_window.h"

#include "app/win32_wide_text.h"
#include "app/window_placement.h"

namespace velmora {
namespace {

// Menu entries carry their action's number above the gadgets' ids.
constexpr int kMenuCommands = 1000;

DWORD styleOf(GadgetKind kind)
{
    constexpr DWORD kField = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;
    switch (kind) {
    case GadgetKind::Frame:
        return BS_GROUPBOX;
    case GadgetKind::Label:
        return SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    case GadgetKind::WrappingLabel:
        return SS_LEFT | SS_NOPREFIX;
    case GadgetKind::CentredLabel:
        return SS_CENTER | SS_NOPREFIX;
    case GadgetKind::Field:
        return kField;
    case GadgetKind::PasswordField:
        return kField | ES_PASSWORD;
    case GadgetKind::NumberField:
        return kField | ES_NUMBER;
    case GadgetKind::Button:
        return BS_PUSHBUTTON | WS_TABSTOP;
    case GadgetKind::Check:
        return BS_AUTOCHECKBOX | WS_TABSTOP;
    case GadgetKind::Link:
        return 0;
    }
    return 0;
}

const wchar_t* classOf(GadgetKind kind)
{
    switch (kind) {
    case GadgetKind::Frame:
    case GadgetKind::Button:
    case GadgetKind::Check:
        return L"BUTTON";
    case GadgetKind::Field:
    case GadgetKind::PasswordField:
    case GadgetKind::NumberField:
        return L"EDIT";
    default:
        return L"STATIC";
    }
}

bool isField(GadgetKind kind)
{
    return kind == GadgetKind::Field || kind == GadgetKind::PasswordField ||
           kind == GadgetKind::NumberField;
}

DWORD frameStyle(const WindowDescription& description)
{
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (description.resizable)
        style |= WS_THICKFRAME;
    if (description.placement == Placement::BesideOwner)
        style |= WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
    return style;
}

DWORD frameExStyle(const WindowDescription& description)
{
    DWORD style = description.topmost ? WS_EX_TOPMOST : 0;
    // See-through, and a tool window: no taskbar button.
    if (description.translucent)
        style |= WS_EX_LAYERED | WS_EX_TOOLWINDOW;
    return style;
}

HMENU makeMenu(std::span<const MenuDescription> menus)
{
    if (menus.empty())
        return nullptr;
    HMENU bar = CreateMenu();
    for (const MenuDescription& menu : menus) {
        HMENU popup = CreatePopupMenu();
        for (const MenuEntry& entry : menu.entries)
            AppendMenuW(popup, MF_STRING,
                        static_cast<UINT_PTR>(kMenuCommands + static_cast<int>(entry.action)),
                        wideFromWindows1252(entry.text).c_str());
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                    wideFromWindows1252(menu.text).c_str());
    }
    return bar;
}

} // namespace

Win32DescribedWindow::Win32DescribedWindow(const WindowDescription& description, HWND owner,
                                           HFONT titleFont, WindowActionHandler onAction,
                                           POINT position, const ScreenBounds* centreArea)
    : description_(description), onAction_(std::move(onAction))
{
    if (description.font == WindowFont::NarrowDialog)
        narrowFont_ = narrowDialogFont();
    Shape shape;
    shape.style = frameStyle(description);
    shape.exStyle = frameExStyle(description);
    const SIZE outer = outerSizeForClient(description.clientWidth, description.clientHeight,
                                          shape.style, shape.exStyle);
    if (description.placement == Placement::CentredOnScreen) {
        const ScreenBounds primary{0, 0, GetSystemMetrics(SM_CXSCREEN),
                                   GetSystemMetrics(SM_CYSCREEN)};
        const WindowPlace place =
            centredIn(outer.cx, outer.cy, centreArea != nullptr ? *centreArea : primary);
        position = {place.x, place.y};
    }
    shape.x = position.x;
    shape.y = position.y;
    shape.width = outer.cx;
    shape.height = outer.cy;
    shape.owner = owner;
    shape.menu = makeMenu(description.menus); // destroyed with the window
    if (create(description.title, shape))
        addGadgets(titleFont);
}

Win32DescribedWindow::~Win32DescribedWindow()
{
    links_.clear();
    destroy();
}

void Win32DescribedWindow::addGadgets(HFONT titleFont)
{
    const HFONT windowFont = narrowFont_.get() != nullptr ? narrowFont_.get() : gadgetFont();
    for (const GadgetDescription& g : description_.gadgets) {
        const GadgetPlace& at = g.place;
        if (g.kind == GadgetKind::Link) {
            links_[g.id] = std::make_unique<Win32Hyperlink>(
                handle(), g.text, RECT{at.x, at.y, at.x + at.width, at.y + at.height},
                [this, action = g.action] { act(action); });
            continue;
        }
        const HFONT font =
            g.font == GadgetFont::Title && titleFont != nullptr ? titleFont : windowFont;
        HWND made = addGadget(classOf(g.kind), g.text, styleOf(g.kind), at.x, at.y, at.width,
                              at.height, g.id, font, isField(g.kind) ? WS_EX_CLIENTEDGE : 0);
        if (made != nullptr && g.typedLength > 0)
            SendMessageW(made, EM_SETLIMITTEXT, static_cast<WPARAM>(g.typedLength), 0);
    }
}

std::string Win32DescribedWindow::text(int id) const
{
    return gadgetText(gadget(id));
}

void Win32DescribedWindow::setText(int id, const std::string& text)
{
    if (const auto link = links_.find(id); link != links_.end())
        return link->second->setText(text);
    // Unchanged text is not set again: the Status line is written on every pass, and a repaint
    // each time would show up as a change on the screen.
    const HWND target = gadget(id);
    if (target != nullptr && gadgetText(target) != text)
        setGadgetText(target, text);
}

bool Win32DescribedWindow::checked(int id) const
{
    return SendMessageW(gadget(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32DescribedWindow::setChecked(int id, bool on)
{
    SendMessageW(gadget(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32DescribedWindow::focus(int id)
{
    SetFocus(gadget(id));
}

bool Win32DescribedWindow::takeDialogKeys(MSG& message)
{
    if (handle() == nullptr || !visible())
        return false;
    if (message.hwnd != handle() && !IsChild(handle(), message.hwnd))
        return false;
    // Ctrl+A selects a field's whole text, as in every newer edit field.
    if (message.message == WM_KEYDOWN && message.wParam == 'A' &&
        (GetKeyState(VK_CONTROL) & 0x8000) != 0 && (GetKeyState(VK_MENU) & 0x8000) == 0) {
        wchar_t kind[8] = {};
        GetClassNameW(message.hwnd, kind, 8);
        if (lstrcmpiW(kind, L"Edit") == 0) {
            SendMessageW(message.hwnd, EM_SETSEL, 0, -1);
            return true;
        }
    }
    return IsDialogMessageW(handle(), &message) != FALSE;
}

LRESULT Win32DescribedWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) == 0 && id >= kMenuCommands) {
            act(static_cast<WindowAction>(id - kMenuCommands));
            return 0;
        }
        // Return and Escape in a dialog come as IDOK and IDCANCEL: only the about box's OK
        // button answers them, as its one way out.
        if (description_.closeBox == WindowAction::CloseWindow && (id == IDOK || id == IDCANCEL))
            act(WindowAction::CloseWindow);
        if (HIWORD(wParam) == BN_CLICKED)
            if (const GadgetDescription* clicked = description_.gadget(id))
                act(clicked->action);
        return 0;
    }
    case WM_CLOSE:
        act(description_.closeBox);
        return 0;
    default:
        return byDefault(message, wParam, lParam);
    }
}

} // namespace velmora

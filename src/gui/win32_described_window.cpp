#include "gui/win32_described_window.h"

#include "app/win32_wide_text.h"
#include "app/window_placement.h"
#include "capture/preview_layout.h"
#include "core/working_file_names.h"

#include <commctrl.h>

#include <algorithm>

namespace velmora {
namespace {

// Menu entries carry their action's number above the gadgets' ids.
constexpr int kMenuCommands = 1000;
constexpr BYTE kPickerOpacity = 180;
constexpr COLORREF kPickerBackground = RGB(255, 245, 220);

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
    case GadgetKind::StatusBar:
        return SBARS_SIZEGRIP;
    default:
        return 0;
    }
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
    case GadgetKind::StatusBar:
        return STATUSCLASSNAMEW;
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

// The picture the preview page shows lies beside it.
std::string pictureBesidePage(const std::string& page)
{
    const auto slash = page.find_last_of("\\/");
    return page.substr(0, slash == std::string::npos ? 0 : slash + 1) + files::kPreviewPicture;
}

} // namespace

Win32DescribedWindow::Win32DescribedWindow(const WindowDescription& description,
                                           WindowEvents events, HWND owner, HFONT titleFont,
                                           POINT place, SIZE client, OpenWindows* open)
    : description_(description), events_(std::move(events)), open_(open)
{
    if (description.font == WindowFont::NarrowDialog)
        narrowFont_ = narrowDialogFont();
    if (description.translucent)
        background_ = CreateSolidBrush(kPickerBackground);
    Shape shape;
    shape.style = frameStyle(description);
    shape.exStyle = frameExStyle(description);
    const int width = description.clientWidth > 0 ? description.clientWidth : client.cx;
    const int height = description.clientHeight > 0 ? description.clientHeight : client.cy;
    const SIZE outer = outerSizeForClient(width, height, shape.style, shape.exStyle);
    if (description.placement == Placement::CentredOnScreen) {
        const WindowPlace centred =
            centredIn(outer.cx, outer.cy,
                      {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
        place = {centred.x, centred.y};
    }
    shape.x = place.x;
    shape.y = place.y;
    shape.width = outer.cx;
    shape.height = outer.cy;
    shape.owner = owner;
    shape.menu = makeMenu(description.menus); // destroyed with the window
    if (!create(description.title, shape))
        return;
    if (description.translucent)
        SetLayeredWindowAttributes(handle(), 0, kPickerOpacity, LWA_ALPHA);
    addGadgets(titleFont);
    fitPicture();
    if (open_)
        open_->push_back(this);
}

Win32DescribedWindow::~Win32DescribedWindow()
{
    if (open_)
        std::erase(*open_, this);
    events_ = {};
    links_.clear();
    pictures_.clear();
    destroy();
    if (background_ != nullptr)
        DeleteObject(background_);
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
        if (g.kind == GadgetKind::PictureView) {
            pictures_[g.id] = std::make_unique<Win32PictureView>(handle(), std::string());
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
    if (const auto picture = pictures_.find(id); picture != pictures_.end()) {
        // The view shows the picture the page names, as a browser would.
        picture->second = std::make_unique<Win32PictureView>(handle(), pictureBesidePage(text));
        return fitPicture();
    }
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

OuterRect Win32DescribedWindow::frame() const
{
    RECT outer{};
    if (handle() == nullptr || !GetWindowRect(handle(), &outer))
        return {};
    return {outer.left, outer.top, outer.right, outer.bottom};
}

void Win32DescribedWindow::setFrame(const OuterRect& frame)
{
    if (handle() != nullptr)
        SetWindowPos(handle(), nullptr, frame.left, frame.top, frame.width(), frame.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32DescribedWindow::fitPicture()
{
    // The preview's picture fills the client area but for its status bar at the bottom.
    if (pictures_.empty() || handle() == nullptr)
        return;
    RECT client{};
    GetClientRect(handle(), &client);
    const PreviewSize view = previewBrowserSize({client.right, client.bottom});
    for (const GadgetDescription& g : description_.gadgets) {
        if (g.kind == GadgetKind::PictureView && pictures_.count(g.id) != 0)
            pictures_[g.id]->place(0, 0, view.width, view.height);
        else if (g.kind == GadgetKind::StatusBar)
            MoveWindow(gadget(g.id), 0, view.height, client.right, client.bottom - view.height,
                       TRUE);
    }
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

void Win32DescribedWindow::onCommand(WPARAM wParam)
{
    const int id = LOWORD(wParam);
    if (HIWORD(wParam) == 0 && id >= kMenuCommands)
        return act(static_cast<WindowAction>(id - kMenuCommands));
    // Return and Escape in a dialog come as IDOK and IDCANCEL: only a box whose one way out is
    // closing answers them.
    if (description_.closeBox == WindowAction::CloseWindow && (id == IDOK || id == IDCANCEL))
        return act(WindowAction::CloseWindow);
    if (HIWORD(wParam) == BN_CLICKED)
        if (const GadgetDescription* clicked = description_.gadget(id))
            act(clicked->action);
}

LRESULT Win32DescribedWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (filter_ && filter_(message, wParam, lParam))
        return 0;
    switch (message) {
    case WM_COMMAND:
        onCommand(wParam);
        return 0;
    case WM_CLOSE:
        act(description_.closeBox);
        return 0;
    case WM_MOVE:
    case WM_SIZE:
        fitPicture();
        if (events_.moved)
            events_.moved();
        return byDefault(message, wParam, lParam);
    case WM_ERASEBKGND:
        if (background_ == nullptr)
            break;
        {
            RECT area{};
            GetClientRect(handle(), &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area, background_);
        }
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (background_ == nullptr)
            break;
        SetBkColor(reinterpret_cast<HDC>(wParam), kPickerBackground);
        return reinterpret_cast<LRESULT>(background_);
    default:
        break;
    }
    return byDefault(message, wParam, lParam);
}

} // namespace velmora

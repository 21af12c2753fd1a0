#include "gui/win32_settings_window.h"

#include "gui/win32_fonts.h"

namespace velmora {
namespace {

constexpr int kClientWidth = 694;
constexpr int kClientHeight = 482;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOPMOST;

enum class Kind { Frame, Label, WrappingLabel, Field, PasswordField, NumberField, Button, Check };

struct Gadget {
    int id;
    Kind kind;
    int x, y, width, height;
    const char* text;    // Windows-1252
    int typedLength = 0; // number fields: most characters that can be typed
};

// Creation order is tab order.
constexpr Gadget kGadgets[] = {
    {7, Kind::Frame, 5, 10, 335, 225, "FTP Einstellungen"},
    {8, Kind::Label, 15, 40, 315, 15, "Servername  (Bsp.  ftp.example.com)"},
    {9, Kind::Field, 15, 55, 315, 20, ""},
    {10, Kind::Label, 15, 80, 315, 15,
     "Web-Verzeichnis  (Bsp.  public_html/  oder leer wenn Hauptverz.)"},
    {11, Kind::Field, 15, 95, 315, 20, ""},
    {12, Kind::Label, 15, 120, 315, 15,
     "Unterverzeichnis im Web-Verzeichnis  (Bsp.  meinverzeichnis/ )"},
    {13, Kind::Field, 15, 135, 315, 20, ""},
    {14, Kind::Label, 15, 160, 150, 15, "UserID"},
    {15, Kind::Field, 15, 175, 150, 20, ""},
    {16, Kind::Label, 180, 160, 150, 15, "Passwort"},
    {17, Kind::PasswordField, 180, 175, 150, 20, ""},
    {18, Kind::Button, 15, 205, 150, 20,
     "Verzeichnis pr\xFC"
     "fen"},
    {19, Kind::Frame, 5, 245, 335, 200, "Login Einstellungen"},
    {20, Kind::WrappingLabel, 15, 275, 320, 45,
     "Die Pr\xE4sentation im obigen Unterverzeichnis kann mit LoginID und Passwort vor dem "
     "Zugriff gesch\xFCtzt werden, wenn sie auf einem Apache Webserver liegt (htaccess)."},
    {21, Kind::Label, 15, 330, 315, 15, "Absoluter Verzeichnis-Pfad auf dem Server (notwendig)"},
    {22, Kind::Field, 15, 345, 265, 20, ""},
    {23, Kind::Button, 285, 345, 45, 20, "Laden"},
    {24, Kind::Label, 15, 370, 150, 15, "LoginID"},
    {25, Kind::Field, 15, 385, 150, 20, ""},
    {26, Kind::Label, 180, 370, 150, 15, "Passwort"},
    {27, Kind::Field, 180, 385, 150, 20, ""},
    {28, Kind::Button, 15, 415, 150, 20, "Login auf Server installieren"},
    {29, Kind::Button, 180, 415, 150, 20, "Login vom Server entfernen"},
    {30, Kind::Frame, 350, 10, 335, 270, "Pr\xE4sentation Einstellungen"},
    {31, Kind::Label, 360, 40, 315, 15,
     "Meine Homepage (wird am Ende der Pr\xE4sentation angezeigt)"},
    {32, Kind::Field, 360, 55, 315, 20, ""},
    {39, Kind::Label, 360, 87, 315, 15,
     "Ausgew\xE4hlter Bildschirmbereich (leer f\xFCr ganzen Bildschirm)"},
    {40, Kind::Field, 360, 102, 143, 20, ""},
    {41, Kind::Label, 510, 105, 165, 15, "Links,Oben,Rechts,Unten (Pixels)"},
    {42, Kind::Button, 360, 125, 144, 20, "Bereich bestimmen"},
    {43, Kind::Button, 510, 125, 144, 20, "Ganzer Bildschirm"},
    {33, Kind::Check, 360, 155, 315, 20, "Mauszeiger als Kreuz in kleinem rotem Rechteck anzeigen"},
    {36, Kind::Check, 360, 175, 315, 20,
     "Anzeige auf 256 Farben beschr\xE4nken (schnellere \xDC"
     "bertragung)"},
    {37, Kind::Check, 360, 195, 315, 20, "Anzeige auf 75% verkleinern (kleinere Abbildung)"},
    {38, Kind::Check, 360, 222, 315, 20, "Pr\xE4sentation automatisch nach Programmstart beginnen"},
    {44, Kind::Button, 360, 250, 315, 20, "Vorschau der Anzeige"},
    {45, Kind::Frame, 350, 291, 335, 154, "Technische Einstellungen"},
    {34, Kind::NumberField, 360, 317, 37, 20, "0", 600},
    {35, Kind::Label, 405, 320, 275, 15, "Zus. Sekunden (max. 600) zwischen Desktop-Bildern"},
    {49, Kind::NumberField, 360, 346, 37, 20, "30", 600},
    {50, Kind::WrappingLabel, 405, 343, 275, 29,
     "Anzahl Sekunden (max. 600) w\xE4hrend derer versucht wird, eine Internetverbindung "
     "herzustellen (Standard: 30)"},
    {46, Kind::NumberField, 360, 375, 37, 20, "2000", 999999},
    {47, Kind::Label, 405, 379, 275, 15, "Browser-Refresh in Millisekunden (Standard: 2000)"},
    {48, Kind::WrappingLabel, 361, 397, 320, 43,
     "In diesem Intervall stellt der Internet-Browser des Zuschauers eine Verbindung zum "
     "Server her, um zu pr\xFC"
     "fen, ob ein neues Abbild des Desktops zur Anzeige bereit ist."},
    {52, Kind::Button, 585, 452, 90, 25, "OK"},
};

DWORD styleOf(Kind kind)
{
    constexpr DWORD kField = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;
    switch (kind) {
    case Kind::Frame:
        return BS_GROUPBOX;
    case Kind::Label:
        return SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    case Kind::WrappingLabel:
        return SS_LEFT | SS_NOPREFIX;
    case Kind::Field:
        return kField;
    case Kind::PasswordField:
        return kField | ES_PASSWORD;
    case Kind::NumberField:
        return kField | ES_NUMBER;
    case Kind::Button:
        return BS_PUSHBUTTON | WS_TABSTOP;
    case Kind::Check:
        return BS_AUTOCHECKBOX | WS_TABSTOP;
    }
    return 0;
}

const wchar_t* classOf(Kind kind)
{
    switch (kind) {
    case Kind::Frame:
    case Kind::Button:
    case Kind::Check:
        return L"BUTTON";
    case Kind::Label:
    case Kind::WrappingLabel:
        return L"STATIC";
    default:
        return L"EDIT";
    }
}

bool isField(Kind kind)
{
    return kind == Kind::Field || kind == Kind::PasswordField || kind == Kind::NumberField;
}

} // namespace

Win32SettingsWindow::Win32SettingsWindow(HWND owner, SettingsWindowActions actions,
                                         std::function<void()> onClosed)
    : font_(narrowDialogFont()), actions_(std::move(actions)), onClosed_(std::move(onClosed))
{
    const SIZE outer = outerSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle);
    const POINT place = centredOnScreen(outer);
    Shape shape;
    shape.exStyle = kExStyle;
    shape.style = kStyle;
    shape.x = place.x;
    shape.y = place.y;
    shape.width = outer.cx;
    shape.height = outer.cy;
    shape.owner = owner;
    if (create("Einstellungen", shape))
        addGadgets();
}

Win32SettingsWindow::~Win32SettingsWindow()
{
    destroy();
}

void Win32SettingsWindow::addGadgets()
{
    const HFONT font = font_.get() != nullptr ? font_.get() : gadgetFont();
    for (const Gadget& g : kGadgets) {
        HWND made = addGadget(classOf(g.kind), g.text, styleOf(g.kind), g.x, g.y, g.width, g.height,
                              g.id, font, isField(g.kind) ? WS_EX_CLIENTEDGE : 0);
        if (made != nullptr && g.typedLength > 0)
            SendMessageW(made, EM_SETLIMITTEXT, static_cast<WPARAM>(g.typedLength), 0);
    }
}

void Win32SettingsWindow::show()
{
    showActive();
}

std::string Win32SettingsWindow::text(SettingsField field) const
{
    return gadgetText(gadget(static_cast<int>(field)));
}

void Win32SettingsWindow::setText(SettingsField field, const std::string& text)
{
    setGadgetText(gadget(static_cast<int>(field)), text);
}

void Win32SettingsWindow::focus(SettingsField field)
{
    SetFocus(gadget(static_cast<int>(field)));
}

bool Win32SettingsWindow::checked(SettingsCheck box) const
{
    return SendMessageW(gadget(static_cast<int>(box)), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32SettingsWindow::setChecked(SettingsCheck box, bool on)
{
    SendMessageW(gadget(static_cast<int>(box)), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32SettingsWindow::closeWindow()
{
    if (!open_)
        return;
    open_ = false;
    hide();
    if (onClosed_)
        onClosed_();
}

bool Win32SettingsWindow::takeDialogKeys(MSG& message)
{
    if (handle() == nullptr || !open_)
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

void Win32SettingsWindow::onClick(int id)
{
    const auto run = [this](const SettingsWindowActions::Action& action) {
        if (action)
            action(*this);
    };
    switch (id) {
    case 18:
        return run(actions_.checkServerDirectory);
    case 23:
        return run(actions_.loadAbsoluteServerPath);
    case 28:
        return run(actions_.installLogin);
    case 29:
        return run(actions_.removeLogin);
    case 42:
        return run(actions_.pickRegion);
    case 43:
        return run(actions_.wholeScreen);
    case 44:
        return run(actions_.preview);
    case 52:
        return run(actions_.ok);
    default:
        return; // check boxes tick themselves; Return and Escape do nothing here
    }
}

LRESULT Win32SettingsWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            onClick(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        // The close box applies and saves like OK, only without the region check.
        if (open_ && actions_.closeBox)
            actions_.closeBox(*this);
        else
            closeWindow();
        return 0;
    default:
        return byDefault(message, wParam, lParam);
    }
}

} // namespace velmora

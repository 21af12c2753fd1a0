#pragma once
// A window of the program as data: title, client size, how it sits on the screen, its gadgets with
// their places, texts, fonts and the action each one triggers, and its menus. Each window is
// described once, here in the wiring's room; a front end only turns a description into native
// windows (Qt widgets, Win32 controls) and hands the actions back. Texts are Windows-1252; the
// order of the gadgets is the tab order.

#include <functional>
#include <span>

namespace velmora {

// What a click on a gadget or a menu entry asks for. The wiring decides what each one does.
enum class WindowAction {
    None,
    // The main window.
    Start,
    Stop,
    Clear,
    Quit,
    OpenSettings,
    MinimiseToTray,
    OpenHelp,
    OpenAbout,
    // The settings window.
    Ok,
    CheckServerDirectory,
    LoadAbsoluteServerPath,
    InstallLogin,
    RemoveLogin,
    PickRegion,
    WholeScreen,
    Preview,
    // The close box of a window whose wiring decides what it means.
    CloseBox,
    // The about box and the region picker.
    CloseWindow,
    OpenLink,
    TakeRegion,
};

// Where a front end hands a window's actions back to the wiring.
using WindowActionHandler = std::function<void(WindowAction)>;

enum class GadgetKind {
    Frame,         // a group frame with its caption
    Label,         // one line, left aligned
    WrappingLabel, // several lines, left aligned
    CentredLabel,  // one line, centred
    Field,
    PasswordField,
    NumberField, // digits only, at most typedLength of them
    Button,
    Check,
    Link, // underlined text that turns red under the pointer and opens on a click
    // The preview's two: the picture as a spectator's browser shows it, given the preview
    // page's path as its text, filling the client area above a status bar with a size grip.
    PictureView,
    StatusBar,
};

enum class GadgetFont {
    Window, // the window's own font
    Title,  // Arial 12 pt bold
};

struct GadgetPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const GadgetPlace&) const = default;
};

struct GadgetDescription {
    int id; // the gadget's number; clicks and the wiring's reads and writes name it by this
    GadgetKind kind;
    GadgetPlace place; // client pixels, below the menu bar where there is one
    const char* text;
    WindowAction action = WindowAction::None;
    int typedLength = 0; // number fields: the most characters that can be typed
    GadgetFont font = GadgetFont::Window;
};

struct MenuEntry {
    const char* text; // with "&" before its access key
    WindowAction action;
};

struct MenuDescription {
    const char* text;
    std::span<const MenuEntry> entries;
};

enum class WindowFont {
    Dialog,       // the system's dialog font
    NarrowDialog, // a narrow face: the settings window's gadgets were laid out for one
};

enum class Placement {
    Given,           // where the caller puts it (the main window's stored position)
    CentredOnScreen, // its outer frame centred on the screen
    BesideOwner,     // the preview's rule, worked out from the picture
};

struct WindowDescription {
    const char* title;
    int clientWidth;
    int clientHeight; // with the menu bar, where there is one
    Placement placement;
    bool topmost = true;      // kept above other windows (an owned window: above its owner)
    bool resizable = false;   // a sizing border; no window has a minimise or maximise box
    bool translucent = false; // the region picker: see-through, in the picker's colour
    WindowFont font = WindowFont::Dialog;
    WindowAction closeBox = WindowAction::CloseBox; // what the close box asks for
    std::span<const GadgetDescription> gadgets = {};
    std::span<const MenuDescription> menus = {};
    // Before the window opens its owner is hidden and the screen beneath it gets this long to
    // repaint, since the window's first act is to read the screen.
    int settleMilliseconds = 0;

    const GadgetDescription* gadget(int id) const
    {
        for (const GadgetDescription& one : gadgets)
            if (one.id == id)
                return &one;
        return nullptr;
    }
};

} // namespace velmora

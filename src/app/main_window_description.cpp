#include "app/program_windows.h"

namespace velmora {
namespace {

constexpr MenuEntry kFile[] = {{"&Beenden", WindowAction::Quit}};
constexpr MenuEntry kExtras[] = {{"E&instellungen", WindowAction::OpenSettings},
                                 {"&Minimieren in Infobereich", WindowAction::MinimiseToTray}};
constexpr MenuEntry kHelp[] = {{"&Online Hilfe", WindowAction::OpenHelp},
                               {"&\xDC"
                                "ber ...",
                                WindowAction::OpenAbout}};
constexpr MenuDescription kMenus[] = {{"&Datei", kFile}, {"&Extras", kExtras}, {"&Hilfe", kHelp}};

// The buttons sit just below the menu bar.
constexpr GadgetDescription kGadgets[] = {
    {11, GadgetKind::Button, {3, 0, 36, 18}, "Start", WindowAction::Start},
    {12, GadgetKind::Button, {41, 0, 36, 18}, "Stop", WindowAction::Stop},
    {13, GadgetKind::Button, {79, 0, 36, 18}, "Clear", WindowAction::Clear},
    {14, GadgetKind::Button, {117, 0, 36, 18}, "Exit", WindowAction::Quit},
    {kStatusLineGadget, GadgetKind::Label, {6, 40, 145, 15}, "Status"},
};

} // namespace

const WindowDescription& mainWindowDescription()
{
    static const WindowDescription window{
        .title = "Velmora",
        .clientWidth = 158,
        .clientHeight = 78, // the menu bar takes its height out of this
        .placement = Placement::Given,
        .closeBox = WindowAction::Quit, // the window stays until the program ends
        .gadgets = kGadgets,
        .menus = kMenus,
    };
    return window;
}

} // namespace velmora

#include "app/program_windows.h"
#include "core/program_version.h"

#include <string>

namespace velmora {

const WindowDescription& aboutBoxDescription()
{
    // Made at the first call, as the description itself: other descriptions may be wanted
    // before this file's own statics exist.
    static const std::string versionLine = std::string("Version ") + kProgramVersion;
    // The link's text is the installed help's path, given when the box opens.
    static const GadgetDescription gadgets[] = {
        {2,
         GadgetKind::CentredLabel,
         {5, 20, 280, 25},
         "Velmora",
         WindowAction::None,
         0,
         GadgetFont::Title},
        {3, GadgetKind::CentredLabel, {5, 50, 280, 25}, versionLine.c_str()},
        {4,
         GadgetKind::CentredLabel,
         {5, 80, 280, 25},
         "\xA9 2026 Corvantis. Alle Rechte vorbehalten."},
        {5, GadgetKind::CentredLabel, {5, 115, 280, 15}, "Homepage / Support:"},
        {kAboutLinkGadget, GadgetKind::Link, {55, 135, 195, 20}, "", WindowAction::OpenLink},
        {7, GadgetKind::Button, {100, 185, 90, 25}, "OK", WindowAction::CloseWindow},
    };
    static const WindowDescription window{
        .title = "\xDC"
                 "ber Velmora",
        .clientWidth = 290,
        .clientHeight = 224,
        .placement = Placement::CentredOnScreen,
        .closeBox = WindowAction::CloseWindow, // not modal; closing it only hides it
        .gadgets = gadgets,
    };
    return window;
}

} // namespace velmora

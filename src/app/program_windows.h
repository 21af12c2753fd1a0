#pragma once
// The program's windows, each described once for every front end.

#include "app/window_description.h"

namespace velmora {

// The main window's Status line, a label among its buttons.
inline constexpr int kStatusLineGadget = 1;
// The about box's link to the installed help, whose text the about box is given.
inline constexpr int kAboutLinkGadget = 6;
// The region picker's button, whose text is the Region string under the window.
inline constexpr int kPickerButtonGadget = 100;
// The preview's picture, given the preview page's path, and its status bar.
inline constexpr int kPreviewPictureGadget = 1;
inline constexpr int kPreviewStatusGadget = 2;

const WindowDescription& mainWindowDescription();     // "Velmora"
const WindowDescription& settingsWindowDescription(); // "Einstellungen"
const WindowDescription& aboutBoxDescription();       // "Über Velmora"
const WindowDescription& regionPickerDescription();   // "Bereich bestimmen"
const WindowDescription& previewWindowDescription();  // "Desktop Vorschau", sized by its picture
const WindowDescription& regionFrameDescription();    // "Bildschirmbereich", sized by the region

} // namespace velmora

#pragma once
// Whether a region text can be used: the settings window refuses an unusable one with its
// reason, the region frame quietly shows nothing for it.

#include "core/message_boxes.h"
#include "screen/screen_source.h"
#include "settings/settings_fields.h"

#include <string>

namespace velmora {

enum class RegionCheck {
    Usable,
    BadFormat,    // other characters than digits and ",", or not exactly three ","
    BeyondScreen, // a value greater than the screen's width or height
};

// The empty text (the whole screen) is usable. A value equal to the screen size is usable;
// left beyond right is not checked here (the capture copes with it).
RegionCheck checkRegionText(const std::string& region, const ScreenBounds& screen);

// The two refusals as the presenter reads them (Windows-1252, lines end with "\r\n").
std::string regionFormatMessage();
std::string regionSizeMessage(const ScreenBounds& screen);

// Settings window, before OK and before the preview: checks the region field; when it is
// unusable, shows the reason in a "Fehler" box, puts the focus on the field and returns false.
bool ValidateRegionText(SettingsFields& fields, const ScreenBounds& screen, MessageBoxes& boxes);

} // namespace velmora

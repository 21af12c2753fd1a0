#pragma once
// What the settings window's OK, close box, "Vorschau der Anzeige" and "Ganzer Bildschirm" do, and
// applying the window's fields to the settings. The other buttons call their tools directly.

#include "app/window_description.h"
#include "core/message_boxes.h"
#include "publish/presentation_state.h"
#include "settings/settings_form.h"

#include <functional>
#include <string>

namespace velmora {

// Tidies the directory fields in place (visibly), copies every gadget into the record, gives the
// homepage a scheme, recomputes the presentation address, has the next cycle send the viewer page
// again and saves the settings.
void ApplySettingsWindow(SettingsForm& form, SettingsRecord& settings, SharedPresentation& shared,
                         const std::string& workFolder, MessageBoxes& boxes);

// The region tools and the preview, which live in the front end's windows.
struct RegionTools {
    // Shows the reason and focuses the region field when the text is not a usable region.
    std::function<bool(SettingsFields&)> validateRegionText;
    std::function<void()> startRegionFrame;
    std::function<void()> stopRegionFrame;
    std::function<void()> showPreview;
};

// Opening: no presentation cycle and no region frame while the settings are edited.
void beforeOpeningSettingsWindow(SharedPresentation& shared, const RegionTools& region);

// OK, close box, preview and whole screen; the caller adds the region picker and the server tools.
SettingsWindowActions settingsWindowActions(SettingsRecord& settings, SharedPresentation& shared,
                                            const std::string& workFolder, MessageBoxes& boxes,
                                            const RegionTools& region);

// What a front end hands back from the open settings window: a click or its close box.
using SettingsWindowEvents = std::function<void(WindowAction, SettingsWindowView&)>;
// Runs the action a gadget or the close box asked for; other actions change nothing.
SettingsWindowEvents settingsWindowEvents(SettingsWindowActions actions);

} // namespace velmora

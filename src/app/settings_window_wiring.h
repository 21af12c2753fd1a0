#pragma once
// The menu entry "E&instellungen": opening the settings window and binding its buttons to the
// region tools, the preview and the server tools.

#include "app/front_end.h"
#include "app/settings_window_actions.h"
#include "core/message_boxes.h"
#include "publish/presentation_state.h"
#include "screen/screen_source.h"
#include "settings/settings_record.h"

#include <functional>
#include <string>

namespace velmora {

struct SettingsWindowParts {
    FrontEnd& frontEnd;
    SettingsRecord& settings;
    SharedPresentation& shared;
    // workFolder holds the preference file and the remembered server keys; tempFolder the
    // login files on their way up. Both end in "/".
    std::string workFolder;
    std::string tempFolder;
    ScreenBounds screen;
    PreviewServices preview;
};

class SettingsWindowWiring {
public:
    explicit SettingsWindowWiring(SettingsWindowParts parts) : parts_(std::move(parts)) {}

    void openSettingsWindow();
    void startRegionFrame();
    void stopRegionFrame();

private:
    // What every stop does, handed to the tools that stop the presentation.
    void stopPresentation() { parts_.shared.stop(); }
    RegionTools regionTools();
    SettingsWindowActions actions();

    SettingsWindowParts parts_;
};

} // namespace velmora

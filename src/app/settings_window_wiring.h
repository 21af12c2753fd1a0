#pragma once
// The menu entry "E&instellungen": opening the settings window and binding its buttons to the
// region tools, the preview and the server tools.

#include "app/described_settings_window.h"
#include "app/front_end.h"
#include "app/preview.h"
#include "app/region_picker.h"
#include "app/settings_window_actions.h"
#include "core/message_boxes.h"
#include "publish/presentation_state.h"
#include "screen/screen_source.h"
#include "settings/settings_record.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

struct SettingsWindowParts {
    FrontEnd& frontEnd;
    // The settings window's owner.
    DescribedWindow& mainWindow;
    SettingsRecord& settings;
    SharedPresentation& shared;
    // workFolder holds the preference file and the remembered server keys; tempFolder the
    // login files on their way up and the preview's files. Both end in "/".
    std::string workFolder;
    std::string tempFolder;
    ScreenBounds screen;
    PreviewServices preview;
};

class SettingsWindowWiring {
public:
    explicit SettingsWindowWiring(SettingsWindowParts parts);

    void openSettingsWindow();
    void startRegionFrame();
    void stopRegionFrame();

    // The open window's parts, for tests; null when there is none.
    DescribedSettingsWindow* settingsWindow() const { return window_.get(); }
    RegionPicker& regionPicker() { return picker_; }
    Preview& preview() { return preview_; }

private:
    // What every stop does, handed to the tools that stop the presentation.
    void stopPresentation() { parts_.shared.stop(); }
    RegionTools regionTools();
    SettingsWindowActions actions();

    SettingsWindowParts parts_;
    RegionPicker picker_;
    Preview preview_;
    // Last: it goes first, before the picker and the preview that it owns.
    std::unique_ptr<DescribedSettingsWindow> window_;
};

} // namespace velmora

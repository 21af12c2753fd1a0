#pragma once
// Binds the shell to the subsystems that do the work: settings, capture, publishing and the
// region frame. The shell calls these at the fixed points of start-up, the loop and shut-down.

#include "app/presentation_state.h"
#include "app/presentation_steps.h"
#include "app/program_folders.h"
#include "settings/settings_record.h"
#include "ui/message_boxes.h"
#include "ui/status_display.h"

namespace velmora {

class ProgramSteps final : public PresentationSteps {
public:
    ProgramSteps(const ProgramFolders& folders, MessageBoxes& boxes, SettingsRecord& settings);

    // Start-up: false after the failure has been reported; the program then ends.
    bool loadImageLibrary();
    void loadSettings();
    void attach(SharedPresentation& shared, StatusDisplay& display);
    void startRegionFrame();
    void openSettingsWindow();
    // Shut-down.
    void stopRegionFrame();
    void unloadImageLibrary();

    void captureDesktopPicture(const SettingsRecord& settings) override;
    void runPresentationCycle(const SettingsRecord& settings) override;
    void clearPresentation(const SettingsRecord& settings,
                           const std::function<void()>& waitForUpload) override;

private:
    const ProgramFolders& folders_;
    MessageBoxes& boxes_;
    SettingsRecord& settings_;
    SharedPresentation* shared_ = nullptr;
    StatusDisplay* display_ = nullptr;
};

} // namespace velmora

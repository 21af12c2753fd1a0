#pragma once
// Binds the shell to the subsystems that do the work: settings, capture, publishing, the
// settings window and its tools. The shell calls these at the fixed points of start-up, the
// loop and shut-down.

#include "publish/presentation_state.h"
#include "app/presentation_steps.h"
#include "app/program_folders.h"
#include "app/upload_thread.h"
#include "capture/desktop_capture.h"
#include "capture/image_library.h"
#include "gui/preview.h"
#include "gui/qt_own_windows.h"
#include "gui/region_frame.h"
#include "gui/region_picker.h"
#include "screen/screen_source.h"
#include "publish/clear_presentation.h"
#include "publish/presentation_cycle.h"
#include "settings/settings_record.h"
#include "app/settings_window_actions.h"
#include "gui/settings_window.h"
#include "core/clock.h"
#include "core/message_boxes.h"
#include "core/status_display.h"

#include <QFont>

#include <memory>

class QWidget;

namespace velmora {

class ProgramSteps final : public PresentationSteps {
public:
    ProgramSteps(const ProgramFolders& folders, MessageBoxes& boxes, Clock& clock,
                 SettingsRecord& settings, SharedPresentation& shared);
    ~ProgramSteps() override;

    ScreenBounds screenBounds() const { return screen_->bounds(); }

    // Start-up: false after the failure has been reported; the program then ends.
    bool loadImageLibrary();
    void loadSettings();
    // The Status line for Clear, the owner of the settings window, the wait for the Upload thread
    // and the font of the region picker.
    void attach(StatusDisplay& display, QWidget& mainWindow, std::function<void()> waitForUpload,
                const QFont& pickerFont);
    void openSettingsWindow();
    // Shut-down.
    void unloadImageLibrary();

    CaptureResult captureDesktopPicture(const SettingsRecord& settings) override;
    CycleOutcome runPresentationCycle(const SettingsRecord& settings,
                                      const CaptureResult& picture) override;
    void clearPresentation(const SettingsRecord& settings,
                           const std::function<void()>& waitForUpload) override;

    void startRegionFrame();
    void stopRegionFrame();

private:
    // What every stop does, handed to the tools that stop the presentation.
    void stopPresentation() { shared_.stop(); }
    RegionTools regionTools();
    SettingsWindowActions settingsWindowActions();

    const ProgramFolders& folders_;
    MessageBoxes& boxes_;
    Clock& clock_;
    SettingsRecord& settings_;
    SharedPresentation& shared_;
    // X11, or on Wayland the desktop's ScreenCast portal: chosen once, at start-up.
    std::unique_ptr<ScreenSource> screen_;
    // Left out when a capture is compared with the spectators' picture.
    QtOwnWindows ownWindows_;
    std::unique_ptr<ImageLibrary> images_;
    std::unique_ptr<DesktopCapture> capture_;
    PresentationCycle cycle_;
    ClearPresentation clear_;
    StatusDisplay* display_ = nullptr;
    QWidget* mainWindow_ = nullptr;
    std::function<void()> waitForUpload_;
    RegionFrame regionFrame_;
    std::unique_ptr<RegionPicker> regionPicker_;
    std::unique_ptr<Preview> preview_;
    // Last: it goes first, before the picker and preview that it owns at the window level.
    std::unique_ptr<SettingsWindow> settingsWindow_;
};

} // namespace velmora

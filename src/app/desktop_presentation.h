#pragma once
// The presentation's own work, bound to this desktop: pictures from the screen source through
// the capture, cycles to the server, and Clear. The presentation control decides when.

#include "app/presentation_work.h"
#include "app/program_folders.h"
#include "capture/desktop_capture.h"
#include "capture/image_library.h"
#include "capture/own_windows.h"
#include "core/clock.h"
#include "core/message_boxes.h"
#include "core/status_display.h"
#include "png/row_bands.h"
#include "publish/clear_presentation.h"
#include "publish/presentation_cycle.h"
#include "publish/presentation_state.h"
#include "screen/screen_source.h"
#include "settings/settings_record.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

struct DesktopPresentationParts {
    const ProgramFolders& folders;
    MessageBoxes& boxes;
    Clock& clock;
    SharedPresentation& shared;
    ScreenSource& screen;
    const OwnWindows& ownWindows;
    CaptionRenderer& caption;
    // Clear's cycles run here, away from the GUI thread.
    WorkRunner runWhileRepainting;
    // The final cleanup: in the program it does not return.
    std::function<void()> endProgram;
};

class DesktopPresentation final : public PresentationWork {
public:
    explicit DesktopPresentation(DesktopPresentationParts parts);
    ~DesktopPresentation() override;

    // Start-up: false after the failure has been reported; the program then ends.
    bool loadImageLibrary(const std::string& fileName = kImageLibraryFile);
    // Shut-down.
    void unloadImageLibrary();
    // Where Clear shows its progress.
    void showClearingOn(StatusDisplay& display) { display_ = &display; }

    // Listens to the screen's reports of its changes, where it gives them; wake is called on
    // another thread when a change comes, to wake the event loop.
    void watchScreen(std::function<void()> wake);

    // The preview's picture: taken exactly as the presentation would take it.
    CaptureResult capturePreview(const SettingsRecord& settings);

    bool screenMayHaveChanged(const SettingsRecord& settings) override;
    bool reportsScreenChanges() const override { return watch_ != nullptr; }
    CaptureResult captureDesktopPicture(const SettingsRecord& settings) override;
    CycleOutcome runPresentationCycle(const SettingsRecord& settings,
                                      const CaptureResult& picture) override;
    void clearPresentation(const SettingsRecord& settings,
                           const std::function<void()>& waitForUpload) override;

private:
    // The screen rows changed since the capture last read the screen, for the next capture.
    RowBands takeChangedRows();

    DesktopPresentationParts parts_;
    std::unique_ptr<ImageLibrary> images_;
    std::unique_ptr<DesktopCapture> capture_;
    PresentationCycle cycle_;
    ClearPresentation clear_;
    StatusDisplay* display_ = nullptr;
    std::unique_ptr<ScreenChangeWatch> watch_;
    // Every report taken since the last capture (screen rows); every row while none come.
    RowBands changedSinceRead_ = RowBands::all();
};

} // namespace velmora

#pragma once
// The presentation state machine and the pacing step of the event loop, free of any window code:
// the buttons and menu entries call in here, and every pass of the loop ends with pace().

#include "app/presentation_work.h"
#include "app/upload_thread.h"
#include "core/clock.h"
#include "core/message_boxes.h"
#include "core/status_display.h"
#include "publish/presentation_state.h"
#include "settings/settings_record.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace velmora {

class PresentationControl {
public:
    PresentationControl(SharedPresentation& shared, const SettingsRecord& settings,
                        PresentationWork& work, UploadThread& upload, MessageBoxes& boxes,
                        Clock& clock, StatusDisplay& display);

    // How the GUI thread waits until no Upload thread is under way, for Clear: in the program
    // the windows keep painting and show the Upload thread's message boxes meanwhile. Without
    // it, the GUI thread simply waits.
    void setWaitForUpload(std::function<void()> wait) { waitForUpload_ = std::move(wait); }

    void start();
    void stop();
    void clear();
    // Presenter actions that end a presentation without a message: Exit, close boxes, settings.
    void stopAndReset() { shared_.stop(); }
    // Autostart: Running without the start message.
    void autostart();

    // The pacing step and the Status line of one pass of the event loop.
    void pace();

    // Status text: state word, Upload time text and Upload counter.
    std::string statusText() const;
    // The tray tooltip holds at most 63 characters.
    static std::string trayTooltip(const std::string& status);

    // Steady-clock seconds of the last cycle's start; empty before the first.
    std::optional<std::int64_t> lastCycleStart() const { return lastCycleStart_; }

private:
    SharedPresentation& shared_;
    const SettingsRecord& settings_;
    PresentationWork& work_;
    UploadThread& upload_;
    MessageBoxes& boxes_;
    Clock& clock_;
    StatusDisplay& display_;
    std::function<void()> waitForUpload_;
    // Whether the last cycle had nothing to send; the first one after a start always captures.
    std::atomic<bool> lastCycleQuiet_{false};

    std::string stateText_;
    // Never reset: a quick restart waits for the rest of the pause.
    std::optional<std::int64_t> lastCycleStart_;
};

} // namespace velmora

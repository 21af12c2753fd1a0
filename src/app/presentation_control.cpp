#include "app/presentation_control.h"

#include "app/presentation_messages.h"
#include "core/message_titles.h"

namespace velmora {

PresentationControl::PresentationControl(SharedPresentation& shared, const SettingsRecord& settings,
                                         PresentationWork& work, UploadThread& upload,
                                         MessageBoxes& boxes, Clock& clock, StatusDisplay& display)
    : shared_(shared), settings_(settings), work_(work), upload_(upload), boxes_(boxes),
      clock_(clock), display_(display)
{
}

void PresentationControl::start()
{
    shared_.start();
    lastCycleQuiet_ = false;
    display_.setStatusLine(text::kStarting);
    boxes_.show(titles::kProgram, text::startMessage(settings_.PresentationAddress));
}

void PresentationControl::autostart()
{
    shared_.autostart();
    lastCycleQuiet_ = false;
    display_.setStatusLine(text::kStarting);
}

void PresentationControl::stop()
{
    shared_.stop();
    display_.setStatusLine(text::kStopping);
    boxes_.show(titles::kProgram, text::kStopMessage);
}

void PresentationControl::clear()
{
    work_.clearPresentation(settings_, [this] {
        if (waitForUpload_)
            waitForUpload_();
        else
            upload_.waitUntilFinished({});
    });
}

void PresentationControl::pace()
{
    const PresentationState state = shared_.state();
    if (state == PresentationState::Running && !upload_.alive()) {
        const std::int64_t now = clock_.steadySeconds();
        // The steady clock, not the wall clock: when summer time ends the local seconds fall
        // back an hour, which would hold the presentation for that hour.
        // Where the screen reports its changes, a cycle that found nothing new is followed
        // only by a change: a still screen costs nothing, and a change is taken at once.
        if ((!lastCycleStart_ || now >= *lastCycleStart_ + settings_.PauseSeconds) &&
            (work_.screenMayHaveChanged(settings_) || !lastCycleQuiet_)) {
            lastCycleStart_ = now;
            const CaptureResult picture = work_.captureDesktopPicture(settings_);
            // A capture that stopped the presentation (the screen cannot be read) has no
            // picture for the spectators: nothing goes up.
            if (shared_.state() != PresentationState::Running) {
                stateText_ = text::kStopped;
            } else if (picture.picture != 0) { // none while the screen was never read
                // The cycle gets its own copy: the settings window may replace the record's
                // texts while the upload still reads them.
                upload_.start([this, copy = settings_, picture] {
                    lastCycleQuiet_ =
                        work_.runPresentationCycle(copy, picture) == CycleOutcome::NothingNew;
                    // A change reported while this cycle ran waits for the next pass of the
                    // loop: without reports from the screen that is the next tick, else now.
                    if (lastCycleQuiet_ && !work_.reportsScreenChanges())
                        upload_.finishQuietly();
                });
                stateText_ = text::kRunning;
            }
        }
    } else if (state == PresentationState::Cleared) {
        stateText_ = text::kCleared;
    } else if (state == PresentationState::Stopped) {
        stateText_ = text::kStopped;
    }

    const std::string status = statusText();
    display_.setStatusLine(status);
    if (display_.inTray())
        display_.setTrayTooltip(trayTooltip(status));
}

std::string PresentationControl::statusText() const
{
    return stateText_ + " " + shared_.uploadTimeText() + " (" +
           std::to_string(shared_.uploadCounter()) + ")";
}

std::string PresentationControl::trayTooltip(const std::string& status)
{
    std::string tooltip = std::string(titles::kProgram) + "\r\n" + status;
    if (tooltip.size() > 63)
        tooltip.resize(63);
    return tooltip;
}

} // namespace velmora

#pragma once
// The presentation's state for the whole run, shared by the GUI thread and the Upload thread,
// and the one place that changes it: every change is one of the named transitions below. Each
// number is one atomic word written whole; the Upload time text is handed over whole. Next to
// the state lives the record of what the spectators have.

#include "core/clock.h"
#include "core/message_boxes.h"
#include "core/shared_text.h"
#include "publish/spectators_record.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace velmora {

enum class PresentationState : std::int8_t { Cleared = -1, Stopped = 0, Running = 1 };

enum class PictureAdvance {
    // A running presentation: the picture number stays put while a failure is pending, so that
    // a retry reuses the same file name.
    HoldWhileFailing,
    // Clearing: each cycle takes the next name, so that every picture file gets the blank one.
    Always,
};

class SharedPresentation {
public:
    // The presenter's actions (GUI thread).

    // Start: Running with a fresh retry window; the first cycle puts the screen up afresh,
    // whatever happened to the server meanwhile.
    void start();
    // Running at program start, without the start message.
    void autostart();
    // "Stop and reset", what every action that ends a presentation does: Stopped, no failure
    // pending, and one more stop counted, so that a cycle can tell a Stop (and Start) since the
    // last one even when no cycle ran in between.
    void stop();
    // Clear begins (and begins again once the cycle it waited for has ended): Cleared with a
    // fresh retry window, and the pictures on the server are about to be replaced.
    void clear();
    // Before the second and the third clearing cycle: the Upload counter falls to -1, so that
    // the cycle's own count publishes 0, the end signal for the viewer page.
    void restartUploadCounter() { uploadCounter_ = -1; }

    // Failures (either thread). Each shows a system-modal "Fehler" box and waits for OK.

    // A fault that waiting will not mend, told at once: Stopped. A pending outage stays pending.
    void stopWithMessage(MessageBoxes& boxes, const std::string& text);
    // A failure of the presentation reported to the presenter: Stopped, and the outage it ends
    // is over (no failure pending).
    void reportFailure(MessageBoxes& boxes, const std::string& text);
    // The retry window: the first failure not yet reported records its time (steady-clock
    // seconds); a failure strictly more than retrySeconds later is reported. True when it
    // reported.
    bool failureNoted(Clock& clock, MessageBoxes& boxes, std::int32_t retrySeconds,
                      const std::string& message);

    // A cycle's progress (the thread that runs it).

    // The picture number of this cycle's picture, 1 to 3, taken in turn.
    std::int32_t advancePictureNumber(PictureAdvance advance);
    // The picture went up at timeText: the Upload counter of this picture.
    std::int32_t pictureUploaded(std::string timeText);
    // A cycle without any failure: a pending outage is over, and the next short one gets a
    // retry window of its own.
    void cycleWentThrough() { firstFailureTime_ = 0; }

    PresentationState state() const { return state_.load(); }
    // Steady-clock seconds of the first failure not yet reported; 0 when none is pending.
    std::int64_t firstFailureTime() const { return firstFailureTime_.load(); }
    std::int32_t pictureNumber() const { return pictureNumber_.load(); }
    std::int32_t uploadCounter() const { return uploadCounter_.load(); }
    std::string uploadTimeText() const { return uploadTimeText_.get(); }
    std::uint32_t stops() const { return stops_.load(); }

    SpectatorsRecord& spectators() { return spectators_; }
    const SpectatorsRecord& spectators() const { return spectators_; }

private:
    std::atomic<PresentationState> state_{PresentationState::Stopped};
    std::atomic<std::int64_t> firstFailureTime_{0};
    std::atomic<std::int32_t> pictureNumber_{0};
    std::atomic<std::int32_t> uploadCounter_{0};
    SharedText uploadTimeText_;
    std::atomic<std::uint32_t> stops_{0};
    SpectatorsRecord spectators_;
};

} // namespace velmora

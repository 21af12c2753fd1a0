#pragma once
// The work the event loop paces. The presentation control only decides when; capture and publishing
// decide how.

#include "capture/desktop_capture.h"
#include "publish/presentation_cycle.h"
#include "settings/settings_record.h"

#include <functional>

namespace velmora {

class PresentationWork {
public:
    virtual ~PresentationWork() = default;
    // GUI thread, when a cycle may start: whether the screen reported a change that a capture
    // for these settings could show since the last time it was asked. Without reports from the
    // screen (reportsScreenChanges false) every capture may show news.
    virtual bool screenMayHaveChanged(const SettingsRecord& settings)
    {
        (void)settings;
        return true;
    }
    virtual bool reportsScreenChanges() const { return false; }
    // GUI thread, right before an Upload thread starts: the result carries the picture's bytes.
    virtual CaptureResult captureDesktopPicture(const SettingsRecord& settings) = 0;
    // Upload thread: one presentation cycle on the copy of the settings taken when it started,
    // for the picture that capture gave.
    virtual CycleOutcome runPresentationCycle(const SettingsRecord& settings,
                                              const CaptureResult& picture) = 0;
    // GUI thread, blocking: the whole Clear sequence. waitForUpload returns once no Upload thread
    // is alive, and keeps serving that thread's message boxes meanwhile.
    virtual void clearPresentation(const SettingsRecord& settings,
                                   const std::function<void()>& waitForUpload) = 0;
};

} // namespace velmora

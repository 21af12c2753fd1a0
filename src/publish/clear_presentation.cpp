#include "publish/clear_presentation.h"

#include "core/message_titles.h"
#include "core/working_file_names.h"
#include "publish/publish_messages.h"

#include <utility>

namespace velmora {

ClearPresentation::ClearPresentation(SharedPresentation& shared, MessageBoxes& boxes,
                                     PresentationCycle& cycle, std::string tempFolder,
                                     BlankPictureWriter writeBlankPicture, WorkRunner runCycles,
                                     std::chrono::milliseconds timeLimit)
    : shared_(shared), boxes_(boxes), cycle_(cycle), tempFolder_(std::move(tempFolder)),
      writeBlankPicture_(std::move(writeBlankPicture)), runCycles_(std::move(runCycles)),
      timeLimit_(timeLimit)
{
}

ClearOutcome ClearPresentation::run(const SettingsRecord& settings, PictureSize lastPicture,
                                    PointerMarker marker,
                                    const std::function<void()>& waitForUpload,
                                    const std::function<void(const std::string&)>& showStatus)
{
    shared_.state = PresentationState::Cleared;
    shared_.firstFailureTime = 0;
    if (showStatus)
        showStatus(messages::kClearing);
    if (waitForUpload)
        waitForUpload();
    // The cycle waited for may have recorded or reported a failure meanwhile; that belongs to the
    // presentation being ended, not to the clearing cycles, which start with a fresh window.
    shared_.state = PresentationState::Cleared;
    shared_.firstFailureTime = 0;

    const bool saved =
        lastPicture.width > 0 && lastPicture.height > 0 && writeBlankPicture_ &&
        writeBlankPicture_(tempFolder_ + files::kPicture, lastPicture.width, lastPicture.height);
    if (!saved) {
        shared_.state = PresentationState::Stopped;
        boxes_.show(titles::kError, messages::kPictureNotCleared, BoxButtons::Ok,
                    BoxModality::SystemModal);
        return ClearOutcome::PictureNotCleared;
    }

    const auto deadline = std::chrono::steady_clock::now() + timeLimit_;
    // A server that is not trusted is told once, not three times.
    const auto cycles = [&] {
        if (!cycle_.run(settings, marker, PictureAdvance::Always, deadline))
            return;
        shared_.uploadCounter = -1;
        if (!cycle_.run(settings, marker, PictureAdvance::Always, deadline))
            return;
        shared_.uploadCounter = -1;
        cycle_.run(settings, marker, PictureAdvance::Always, deadline);
    };
    if (runCycles_)
        runCycles_(cycles);
    else
        cycles();
    return ClearOutcome::Done;
}

} // namespace velmora

#include "publish/clear_presentation.h"

#include "core/local_file.h"
#include "core/working_file_names.h"
#include "publish/publish_messages.h"

#include <memory>
#include <utility>

namespace velmora {

ClearPresentation::ClearPresentation(SharedPresentation& shared, MessageBoxes& boxes,
                                     PresentationCycle& cycle, std::string tempFolder,
                                     BlankPictureEncoder blankPicture, WorkRunner runCycles,
                                     std::chrono::milliseconds timeLimit)
    : shared_(shared), boxes_(boxes), cycle_(cycle), tempFolder_(std::move(tempFolder)),
      blankPicture_(std::move(blankPicture)), runCycles_(std::move(runCycles)),
      timeLimit_(timeLimit)
{
}

std::shared_ptr<const std::string> ClearPresentation::savedBlankPicture(PictureSize size) const
{
    if (size.width <= 0 || size.height <= 0 || !blankPicture_)
        return nullptr;
    std::optional<std::string> png = blankPicture_(size.width, size.height);
    // The picture file holds the newest picture, the black one now; the cycles take the bytes.
    if (!png || !writeWholeFile(tempFolder_ + files::kPicture, *png))
        return nullptr;
    return std::make_shared<const std::string>(std::move(*png));
}

ClearOutcome ClearPresentation::run(const SettingsRecord& settings, PictureSize lastPicture,
                                    PointerMarker marker,
                                    const std::function<void()>& waitForUpload,
                                    const std::function<void(const std::string&)>& showStatus)
{
    shared_.clear();
    if (showStatus)
        showStatus(messages::kClearing);
    if (waitForUpload)
        waitForUpload();
    // The cycle waited for may have recorded or reported a failure meanwhile; that belongs to the
    // presentation being ended, not to the clearing cycles, which start with a fresh window.
    shared_.clear();

    std::shared_ptr<const std::string> blank = savedBlankPicture(lastPicture);
    if (!blank) {
        shared_.stopWithMessage(boxes_, messages::kPictureNotCleared);
        return ClearOutcome::PictureNotCleared;
    }

    const auto deadline = std::chrono::steady_clock::now() + timeLimit_;
    const CyclePicture picture{marker, 0, std::move(blank)};
    const auto clearingCycle = [&] {
        return cycle_.run(settings, picture, PictureAdvance::Always, deadline) !=
               CycleOutcome::Refused;
    };
    // A server that is not trusted is told once, not three times.
    const auto cycles = [&] {
        if (!clearingCycle())
            return;
        shared_.restartUploadCounter();
        if (!clearingCycle())
            return;
        shared_.restartUploadCounter();
        clearingCycle();
    };
    if (runCycles_)
        runCycles_(cycles);
    else
        cycles();
    return ClearOutcome::Done;
}

} // namespace velmora

#include "publish/clear_presentation.h"

#include "core/local_file.h"
#include "core/working_file_names.h"
#include "publish/publish_messages.h"

#include <memory>
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
    shared_.clear();
    if (showStatus)
        showStatus(messages::kClearing);
    if (waitForUpload)
        waitForUpload();
    // The cycle waited for may have recorded or reported a failure meanwhile; that belongs to the
    // presentation being ended, not to the clearing cycles, which start with a fresh window.
    shared_.clear();

    const std::string path = tempFolder_ + files::kPicture;
    std::shared_ptr<const std::string> blank;
    if (lastPicture.width > 0 && lastPicture.height > 0 && writeBlankPicture_ &&
        writeBlankPicture_(path, lastPicture.width, lastPicture.height))
        blank = readSharedFile(path);
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

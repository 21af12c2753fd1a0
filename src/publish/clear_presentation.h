#pragma once
// Ending a presentation for the spectators: every picture file on the server is overwritten with
// a black picture of the last picture's size, and the data page's counter falls back to 0, which
// takes the viewer page to the presenter's homepage.

#include "core/message_boxes.h"
#include "publish/presentation_cycle.h"
#include "publish/presentation_state.h"
#include "settings/settings_record.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

// The PNG bytes of a black picture of width x height, as the program's picture writer makes
// them; empty when it cannot.
using BlankPictureEncoder = std::function<std::optional<std::string>(int width, int height)>;

// Runs work to its end; the program's runs it away from the GUI thread so that the windows keep
// painting meanwhile.
using WorkRunner = std::function<void(const std::function<void()>& work)>;

struct PictureSize {
    int width = 0; // 0 before the first capture since program start
    int height = 0;
};

enum class ClearOutcome {
    Done,
    // The black picture could not be saved (or nothing was captured yet); the presenter has
    // been told, and the program must end at once without its orderly shut-down.
    PictureNotCleared,
};

class ClearPresentation {
public:
    // tempFolder ends in "/"; the blank picture replaces its "Velmora.png", and the clearing
    // cycles send the same bytes from memory.
    // The three clearing cycles run through runCycles (by default right here) and end within
    // timeLimit, however slowly the server answers: the presenter waits for them.
    ClearPresentation(SharedPresentation& shared, MessageBoxes& boxes, PresentationCycle& cycle,
                      std::string tempFolder, BlankPictureEncoder blankPicture,
                      WorkRunner runCycles = {},
                      std::chrono::milliseconds timeLimit = std::chrono::seconds(60));

    // GUI thread, blocking. marker goes into the clearing cycles' data pages. waitForUpload returns
    // once no Upload thread is alive (and keeps serving that thread's message boxes meanwhile);
    // showStatus puts a text on the Status line.
    ClearOutcome run(const SettingsRecord& settings, PictureSize lastPicture, PointerMarker marker,
                     const std::function<void()>& waitForUpload,
                     const std::function<void(const std::string&)>& showStatus = {});

private:
    // The black picture's bytes, once the picture file holds them too; null when either failed.
    std::shared_ptr<const std::string> savedBlankPicture(PictureSize size) const;

    SharedPresentation& shared_;
    MessageBoxes& boxes_;
    PresentationCycle& cycle_;
    std::string tempFolder_;
    BlankPictureEncoder blankPicture_;
    WorkRunner runCycles_;
    std::chrono::milliseconds timeLimit_;
};

} // namespace velmora

#pragma once
// The values that the GUI thread and the Upload thread share for the whole run. Each number is
// one atomic word; the Upload time text is handed over whole.

#include "core/shared_text.h"
#include "publish/published_picture.h"
#include "publish/viewer_page_flag.h"

#include <atomic>
#include <cstdint>

namespace velmora {

enum class PresentationState : std::int8_t { Cleared = -1, Stopped = 0, Running = 1 };

struct SharedPresentation {
    std::atomic<PresentationState> state{PresentationState::Stopped};
    // Steady-clock seconds of the first failure not yet reported; 0 when none is pending.
    std::atomic<std::int64_t> firstFailureTime{0};
    std::atomic<std::int32_t> pictureNumber{0};
    std::atomic<std::int32_t> uploadCounter{0};
    ViewerPageFlag viewerPage;
    SharedText uploadTimeText;
    // The picture and data page the spectators have; the counter and time above belong to it.
    PublishedPicture published;
    // Counts the stops, so that a cycle can tell a Stop (and Start) since the last one even when
    // no cycle ran in between.
    std::atomic<std::uint32_t> stops{0};

    // "Stop and reset": what every presenter action that ends a presentation does.
    void stopAndReset()
    {
        state = PresentationState::Stopped;
        firstFailureTime = 0;
        stops.fetch_add(1);
    }
};

} // namespace velmora

#pragma once
// One presentation cycle: the viewer page when it is due, the newest picture under the next of
// the three picture names, then a fresh data page naming it. Runs on the Upload thread (and three
// times on the GUI thread when the presentation is cleared).

#include "core/clock.h"
#include "core/message_boxes.h"
#include "transfer/cycle_connection.h"
#include "transfer/ftp_session_types.h"
#include "publish/presentation_state.h"
#include "settings/settings_record.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// The pointer position in picture pixels from the capture of this cycle (already moved by the
// capture so that the viewer's marker centres on the pointer).
struct PointerMarker {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// What the capture gave for one cycle of a running presentation.
struct CyclePicture {
    PointerMarker marker;
    // The capture's number of the picture in the picture file; 0: unknown, it always goes up.
    std::uint32_t number = 0;
};

enum class PictureAdvance {
    // A running presentation: the picture number stays put while a failure is pending, so that
    // a retry reuses the same file name.
    HoldWhileFailing,
    // Clearing: each cycle takes the next name, so that every picture file gets the blank one.
    Always,
};

class PresentationCycle {
public:
    // tempFolder ends in "/" and holds the picture file "Velmora.png"; the cycle writes its
    // pages "Velmora.ind" and "Velmora.cnt" there.
    // trust names the remembered server keys (in the Work folder) and the CA store.
    PresentationCycle(SharedPresentation& shared, MessageBoxes& boxes, Clock& clock,
                      std::string tempFolder, FtpTimeouts timeouts = {},
                      ServerTrustFiles trust = {});

    // settings is the cycle's own copy, taken when it started. Failures go through the retry
    // window; the caller learns of a reported one only through the state becoming Stopped.
    // A deadline ends the cycle's FTP work by then (Clear, which the presenter waits for).
    // False when the server was not trusted (a changed key, a question answered No): waiting
    // mends neither, so the presentation has been stopped and told at once, and further cycles
    // would only repeat it.
    bool run(const SettingsRecord& settings, PointerMarker marker,
             PictureAdvance advance = PictureAdvance::HoldWhileFailing,
             std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt);

    // A cycle of a running presentation that sends only what the server does not have: no
    // picture that its data page names already, a data page only when its text would change
    // (the pointer moved), and no connection at all when nothing is to be sent. The viewer page
    // goes up when it is due, as always. False when it had nothing to send.
    bool present(const SettingsRecord& settings, CyclePicture picture);

private:
    std::int32_t nextPictureNumber(PictureAdvance advance) const;
    bool runCycle(const SettingsRecord& settings, CyclePicture picture, PictureAdvance advance,
                  std::optional<std::chrono::steady_clock::time_point> deadline,
                  bool& sentSomething);

    SharedPresentation& shared_;
    MessageBoxes& boxes_;
    Clock& clock_;
    std::string tempFolder_;
    ServerTrustFiles trust_;
    // The data page last sent for the picture that the shared state records as published.
    std::string dataPageOnServer_;
    // Kept from one cycle of a running presentation to the next.
    CycleConnection connection_;
    // The shared stop count when the connection was last kept: a Stop since then, even one
    // between two cycles, means a new login.
    std::uint32_t stopsWhenKept_ = 0;
};

} // namespace velmora

#pragma once
// One presentation cycle: the viewer page when it is due, the newest picture under the next of
// the three picture names, then a fresh data page naming it. A running presentation's cycles run
// on the Upload thread; Clear runs three in a row, in the program away from the GUI thread
// (through its WorkRunner), after the Upload thread has ended.

#include "core/clock.h"
#include "core/message_boxes.h"
#include "publish/presentation_state.h"
#include "settings/settings_record.h"
#include "transfer/cycle_connection.h"
#include "transfer/ftp_session_types.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

// The pointer position in picture pixels from the capture of this cycle (already moved by the
// capture so that the viewer's marker centres on the pointer).
struct PointerMarker {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The picture a cycle is to publish, as the capture (or Clear) handed it over.
struct CyclePicture {
    PointerMarker marker;
    // The capture's number for the picture; 0: unknown, it always goes up (Clear's black one).
    std::uint32_t number = 0;
    // The PNG file's bytes, shared and never changed; the cycle sends exactly these. Null when
    // there is no picture (a reduction lost it): its upload then fails like any other.
    std::shared_ptr<const std::string> png;
};

enum class CycleOutcome {
    // The cycle talked to the server (whether all of it went through or not).
    Sent,
    // The server has everything already: no connection was made.
    NothingNew,
    // The server was not trusted (a changed key, a question answered No): waiting mends
    // neither, so the presentation has been stopped and told at once, and further cycles would
    // only repeat it.
    Refused,
};

class PresentationCycle {
public:
    // tempFolder ends in "/"; the cycle writes its pages "Velmora.ind" and "Velmora.cnt" there.
    // The picture goes up from the bytes handed over, without a file of its own.
    // trust names the remembered server keys (in the Work folder) and the CA store.
    PresentationCycle(SharedPresentation& shared, MessageBoxes& boxes, Clock& clock,
                      std::string tempFolder, FtpTimeouts timeouts = {},
                      ServerTrustFiles trust = {});

    // settings is the cycle's own copy, taken when it started. It sends only what the
    // spectators do not have: no picture that the server's data page names already, a data page
    // only when its text would change (the pointer moved), and no connection at all when
    // nothing is to be sent; the viewer page goes up when it is due, as always. Failures go
    // through the retry window; the caller learns of a reported one only through the state
    // becoming Stopped. A deadline ends the cycle's FTP work by then (Clear, which the presenter
    // waits for).
    CycleOutcome run(const SettingsRecord& settings, const CyclePicture& picture,
                     PictureAdvance advance = PictureAdvance::HoldWhileFailing,
                     std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt);

private:
    struct Run;

    // The steps of a run, in their order.
    // What the spectators have already, and the data page this run would send.
    Run plan(const SettingsRecord& settings, const CyclePicture& picture);
    // The presenter's trust, which notes in declined a question about the server answered No.
    ServerTrust cycleTrust(const std::shared_ptr<bool>& declined);
    // A connection that could not be made: told at once or through the retry window.
    CycleOutcome notConnected(Run& run, FtpOpenResult opened, const ServerSession& session,
                              bool declined);
    void sendViewerPage(Run& run, ServerSession& session);
    // The picture under the next picture name; false when it did not go up.
    bool sendPicture(Run& run, ServerSession& session, PictureAdvance advance);
    void sendDataPage(Run& run, ServerSession& session);
    // Records what the spectators now have and ends a pending outage.
    void wentThrough(const Run& run);
    // A failure of this run, and one that goes through the retry window with message.
    void failed(Run& run);
    void fail(Run& run, const std::string& message);

    SharedPresentation& shared_;
    MessageBoxes& boxes_;
    Clock& clock_;
    std::string tempFolder_;
    ServerTrustFiles trust_;
    // Kept from one cycle of a running presentation to the next.
    CycleConnection connection_;
    // The shared stop count when the connection was last kept: a Stop since then, even one
    // between two cycles, means a new login.
    std::uint32_t stopsWhenKept_ = 0;
};

} // namespace velmora

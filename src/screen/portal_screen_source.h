#pragma once
// The screen of a Wayland desktop, as its ScreenCast portal shares it through PipeWire: one
// monitor, whose frames are the screen the capture sees. The desktop asks the presenter the
// first time; its restore token in the Work folder spares the question on later runs.

#include "screen/portal_screen_cast.h"
#include "screen/screen_source.h"

#include <memory>
#include <string>

namespace velmora {

class PipeWireStream;

class PortalScreenSource final : public ScreenSource {
public:
    struct Opening;
    // GUI thread, blocking until the desktop has answered and the first frame has come.
    // tokenFile: the restore token's file, read before and replaced after.
    static Opening open(const std::string& tokenFile, const PortalRequestOptions& options = {});

    ~PortalScreenSource() override;
    PortalScreenSource(const PortalScreenSource&) = delete;
    PortalScreenSource& operator=(const PortalScreenSource&) = delete;

    // The size of the newest frame: the desktop may change the monitor's mode while it shares
    // it, and the next capture takes the new size.
    ScreenBounds bounds() const override;
    // From the newest frame, however old: a still screen sends no new ones.
    bool copyRgb(int x, int y, int width, int height, std::uint8_t* rgb,
                 std::size_t stride) override;
    // Only where the desktop sends the pointer beside the frames; otherwise it is drawn into
    // them and no marker is needed.
    std::optional<PointerPosition> pointerPosition() override;
    std::string unreadableReason() const override;
    // Each new buffer of the stream; the watch must go before the source.
    std::unique_ptr<ScreenChangeWatch> watchChanges(std::function<void()> onChange) override;

    bool pointerBesideFrames() const { return cast_->cursorAsMetadata(); }

private:
    PortalScreenSource(std::unique_ptr<PortalScreenCast> cast,
                       std::unique_ptr<PipeWireStream> stream);

    std::unique_ptr<PortalScreenCast> cast_;
    std::unique_ptr<PipeWireStream> stream_;
};

struct PortalScreenSource::Opening {
    PortalOutcome outcome = PortalOutcome::Failed;
    std::unique_ptr<PortalScreenSource> source; // when Granted
    std::string detail;                         // what failed, for the presenter and the log
};

} // namespace velmora

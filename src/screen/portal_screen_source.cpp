#include "screen/portal_screen_source.h"

#include "screen/pipewire_stream.h"
#include "screen/portal_restore_token.h"
#include "screen/wayland_capture_messages.h"

namespace velmora {
namespace {

// The first frame comes within a few hundredths of a second of connecting.
constexpr std::chrono::seconds kFirstFrameLimit{5};

// A desktop sends a buffer only when the screen or the pointer changed: each buffer is the report.
class StreamChanges final : public ScreenChangeWatch {
public:
    StreamChanges(PipeWireStream& stream, std::function<void()> onChange)
        : stream_(stream), collector_(std::move(onChange))
    {
        stream_.setChangeListener([this](bool picture, bool pointerMoved) {
            if (picture)
                collector_.addEverything();
            if (pointerMoved)
                collector_.addPointerMove();
        });
    }
    ~StreamChanges() override { stream_.setChangeListener({}); }
    StreamChanges(const StreamChanges&) = delete;
    StreamChanges& operator=(const StreamChanges&) = delete;

    ScreenChanges take() override { return collector_.take(); }

private:
    PipeWireStream& stream_;
    ScreenChangeCollector collector_;
};

} // namespace

PortalScreenSource::Opening PortalScreenSource::open(const std::string& tokenFile,
                                                     const PortalRequestOptions& options)
{
    Opening opening;
    auto cast = std::make_unique<PortalScreenCast>();
    PortalRequestOptions request = options;
    if (request.restoreToken.empty())
        request.restoreToken = readRestoreToken(tokenFile);
    opening.outcome = cast->open(request);
    opening.detail = cast->failureDetail();
    if (opening.outcome != PortalOutcome::Granted)
        return opening;
    // The old token is void from now on; a failure to store the new one only means the desktop
    // asks again next time.
    storeRestoreToken(tokenFile, cast->restoreToken());

    auto stream = std::make_unique<PipeWireStream>(cast->pipeWire().takeFileDescriptor(),
                                                   cast->node(), cast->cursorAsMetadata());
    if (!stream->waitForFirstFrame(kFirstFrameLimit)) {
        opening.outcome = PortalOutcome::Failed;
        opening.detail = stream->failure().empty() ? "no picture from PipeWire" : stream->failure();
        return opening;
    }
    opening.source.reset(new PortalScreenSource(std::move(cast), std::move(stream)));
    return opening;
}

PortalScreenSource::PortalScreenSource(std::unique_ptr<PortalScreenCast> cast,
                                       std::unique_ptr<PipeWireStream> stream)
    : cast_(std::move(cast)), stream_(std::move(stream))
{
}

// The stream goes before the session that feeds it.
PortalScreenSource::~PortalScreenSource()
{
    stream_.reset();
}

ScreenBounds PortalScreenSource::bounds() const
{
    const auto [width, height] = stream_->frameSize();
    return ScreenBounds{0, 0, width, height};
}

bool PortalScreenSource::copyRgb(int x, int y, int width, int height, std::uint8_t* rgb,
                                 std::size_t stride)
{
    return stream_->copyRgb(x, y, width, height, rgb, stride);
}

std::unique_ptr<ScreenChangeWatch> PortalScreenSource::watchChanges(std::function<void()> onChange)
{
    return std::make_unique<StreamChanges>(*stream_, std::move(onChange));
}

std::optional<PointerPosition> PortalScreenSource::pointerPosition()
{
    if (!cast_->cursorAsMetadata())
        return std::nullopt;
    return stream_->pointer();
}

std::string PortalScreenSource::unreadableReason() const
{
    if (cast_->closedByDesktop() || stream_->ended())
        return messages::kScreenCastEnded;
    return {};
}

} // namespace velmora

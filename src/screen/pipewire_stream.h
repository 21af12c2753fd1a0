#pragma once
// The frames of one shared screen, received from PipeWire on PipeWire's own thread. Only the
// newest frame is kept: a desktop sends frames only when something on the screen changes, so an
// old frame is not a stale one, it is simply what the screen still shows.

#include "screen/pipewire_frame.h"
#include "screen/screen_source.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

class PipeWireStream {
public:
    // connection: a socket to PipeWire (as the portal hands it over), owned by the stream from
    // here on; node: the stream to read. cursorAsMetadata: the pointer's place travels beside
    // the frames.
    PipeWireStream(int connection, std::uint32_t node, bool cursorAsMetadata);
    ~PipeWireStream();
    PipeWireStream(const PipeWireStream&) = delete;
    PipeWireStream& operator=(const PipeWireStream&) = delete;

    // Blocks until the first frame has come, the stream has ended or the limit has passed.
    bool waitForFirstFrame(std::chrono::milliseconds limit);
    // Calls listener, on PipeWire's thread, for each buffer that brought a picture or moved the
    // pointer: the desktop sends buffers only when something changed. An empty one stops that.
    void setChangeListener(std::function<void(bool picture, bool pointerMoved)> listener);
    // The size of the newest frame (0 x 0 before the first).
    std::pair<int, int> frameSize() const;
    // Any thread: copies from the newest frame (see copyFrameRgb).
    bool copyRgb(int x, int y, int width, int height, std::uint8_t* rgb, std::size_t stride) const;
    // The pointer in frame pixels as last reported beside the frames; nothing before the first
    // report and when the pointer travels inside the frames.
    std::optional<PointerPosition> pointer() const;
    // Set once PipeWire has ended the stream or the connection: no frame will come any more.
    bool ended() const;
    // Why the stream could not start or ended, for the log (may be empty).
    std::string failure() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace velmora

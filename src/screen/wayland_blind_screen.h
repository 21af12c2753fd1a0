#pragma once
// An X11 screen inside a Wayland session that nothing shares with the program: Xwayland lets
// an X11 client read the screen and hands it black pixels, reporting success. The windows of the
// program still need the X11 screen's size and pointer; only its pixels are not to be believed.

#include "screen/screen_source.h"

#include <memory>
#include <string>
#include <utility>

namespace velmora {

class WaylandBlindScreen final : public ScreenSource {
public:
    WaylandBlindScreen(std::unique_ptr<ScreenSource> x11, std::string reason)
        : x11_(std::move(x11)), reason_(std::move(reason))
    {
    }

    ScreenBounds bounds() const override { return x11_->bounds(); }
    bool copyRgb(int x, int y, int width, int height, std::uint8_t* rgb,
                 std::size_t stride) override
    {
        return x11_->copyRgb(x, y, width, height, rgb, stride);
    }
    std::optional<PointerPosition> pointerPosition() override { return x11_->pointerPosition(); }
    std::string unreadableReason() const override { return reason_; }

private:
    std::unique_ptr<ScreenSource> x11_;
    std::string reason_;
};

} // namespace velmora

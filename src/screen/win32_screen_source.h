#pragma once
// The Windows desktop as the capture sees it: the screen's device context copied with GDI's
// BitBlt (CAPTUREBLT, so that layered windows are in the picture) into a DIB section kept between
// captures, and the pointer from GetCursorPos. The screen reports no changes of its own here: the
// presentation then looks for news by comparing pictures.

#include "screen/screen_source.h"

#include <memory>

namespace velmora {

class Win32ScreenSource final : public ScreenSource {
public:
    // The screen bounds are the clip box of the screen's device context, measured here, once.
    Win32ScreenSource();
    ~Win32ScreenSource() override;
    Win32ScreenSource(const Win32ScreenSource&) = delete;
    Win32ScreenSource& operator=(const Win32ScreenSource&) = delete;

    ScreenBounds bounds() const override;
    bool copyRgb(int x, int y, int width, int height, std::uint8_t* rgb,
                 std::size_t stride) override;
    std::optional<PointerPosition> pointerPosition() override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace velmora

#pragma once
// The preview window's size and place: room for the picture and a margin, but never larger
// than the screen leaves room for; centred over the settings window.

#include "screen/screen_source.h"

#include <cstdint>

namespace velmora {

// The status bar's height; the HTML view fills the rest of the client area.
inline constexpr std::int32_t kPreviewStatusBarHeight = 23;

struct PreviewSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const PreviewSize&) const = default;
};

struct PreviewPlace {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const PreviewPlace&) const = default;
};

// Client size for a picture of the given size (after the reductions).
PreviewSize previewClientSize(std::int32_t pictureWidth, std::int32_t pictureHeight,
                              const ScreenBounds& screen);

// The HTML view's size in a client area of the given size.
PreviewSize previewBrowserSize(const PreviewSize& client);

// Top-left corner of a window of the given outer size centred over the owner's outer rectangle;
// a corner left of or above the screen origin is moved to 0 on that axis.
PreviewPlace previewPlace(std::int32_t ownerX, std::int32_t ownerY, std::int32_t ownerWidth,
                          std::int32_t ownerHeight, const PreviewSize& outer);

} // namespace velmora

#include "capture/preview_layout.h"

#include <algorithm>

namespace velmora {

PreviewSize previewClientSize(std::int32_t pictureWidth, std::int32_t pictureHeight,
                              const ScreenBounds& screen)
{
    const std::int32_t screenWidth = screen.right;
    const std::int32_t screenHeight = screen.bottom;
    PreviewSize size;
    size.width = pictureWidth > screenWidth - 150 ? screenWidth - 110 : pictureWidth + 30;
    size.height = pictureHeight > screenHeight - 200 ? screenHeight - 140 : pictureHeight + 40;
    return size;
}

PreviewSize previewBrowserSize(const PreviewSize& client)
{
    return {client.width, std::max(client.height - kPreviewStatusBarHeight, 0)};
}

PreviewPlace previewPlace(std::int32_t ownerX, std::int32_t ownerY, std::int32_t ownerWidth,
                          std::int32_t ownerHeight, const PreviewSize& outer)
{
    const std::int32_t x = ownerX + (ownerWidth - outer.width) / 2;
    const std::int32_t y = ownerY + (ownerHeight - outer.height) / 2;
    return {std::max(x, 0), std::max(y, 0)};
}

} // namespace velmora

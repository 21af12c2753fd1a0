#pragma once
// The benchmark's screen with a scenario's change on it, for whole captures: the pixels come from
// the real X11 screen (a still document), read as the capture asks for them, and the rows the
// scenario changes are then taken from its picture of the cycle. A capture told the changed rows
// and one reading the whole screen pay the same for the change.

#include "png/rgb_picture.h"
#include "png/row_bands.h"
#include "screen/screen_source.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace velmora::bench {

class ScenarioScreen final : public ScreenSource {
public:
    // changing: the screen rows a scenario's pictures may differ in from the document.
    ScenarioScreen(ScreenSource& screen, RowBands changing)
        : screen_(screen), changing_(std::move(changing))
    {
    }

    // This cycle's screen: the document with the change drawn on it, kept alive by the caller.
    void show(const RgbPicture& now) { now_ = &now; }

    ScreenBounds bounds() const override { return screen_.bounds(); }
    std::optional<PointerPosition> pointerPosition() override { return screen_.pointerPosition(); }

    bool copyRgb(int x, int y, int width, int height, std::uint8_t* rgb,
                 std::size_t stride) override
    {
        if (!screen_.copyRgb(x, y, width, height, rgb, stride))
            return false;
        if (!now_)
            return true;
        const auto overlay = [&](int from, int to) {
            for (int row = std::max(from, y); row < std::min(to, y + height); ++row)
                std::memcpy(rgb + stride * static_cast<std::size_t>(row - y),
                            now_->row(row) + 3 * static_cast<std::size_t>(x),
                            3 * static_cast<std::size_t>(width));
        };
        if (changing_.everything())
            overlay(0, now_->height());
        for (const RowBand& band : changing_.bands())
            overlay(band.top, band.bottom);
        return true;
    }

private:
    ScreenSource& screen_;
    RowBands changing_;
    const RgbPicture* now_ = nullptr;
};

} // namespace velmora::bench

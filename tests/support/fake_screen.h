#pragma once
// A screen of known content for capture tests: each pixel is the test pattern of its screen
// position, and every copy request is recorded.

#include "screen/screen_source.h"
#include "support/test_pictures.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace velmora::test {

struct CopyRequest {
    int x, y, width, height;
    bool operator==(const CopyRequest&) const = default;
};

class FakeScreen final : public ScreenSource {
public:
    FakeScreen(int width, int height) : bounds_{0, 0, width, height} {}

    ScreenBounds bounds() const override { return bounds_; }
    bool copyRgb(int x, int y, int width, int height, std::uint8_t* rgb,
                 std::size_t stride) override
    {
        copies.push_back({x, y, width, height});
        if (!readable)
            return false;
        for (int row = 0; row < height; ++row)
            for (int col = 0; col < width; ++col)
                patternPixel(x + col, y + row, rgb + stride * row + 3 * col);
        if (paint)
            for (int row = 0; row < height; ++row)
                for (int col = 0; col < width; ++col)
                    paint(x + col, y + row, rgb + stride * row + 3 * col);
        return true;
    }
    std::optional<PointerPosition> pointerPosition() override { return pointer; }

    bool readable = true;
    // When set, changes the pixel at a screen position after the pattern is drawn.
    std::function<void(int x, int y, std::uint8_t* rgb)> paint;
    std::optional<PointerPosition> pointer = PointerPosition{0, 0};
    std::vector<CopyRequest> copies;

private:
    ScreenBounds bounds_;
};

} // namespace velmora::test

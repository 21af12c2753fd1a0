#pragma once
// A 24-bit picture held as rows of red, green, blue bytes. Red first (not the blue-first order of
// a Windows DIB) because that is the order PNG stores, so the writer compresses the rows in
// place without swapping or copying them.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

class RgbPicture {
public:
    // Every pixel starts black.
    RgbPicture(int width, int height)
        : width_(width > 0 ? width : 0), height_(height > 0 ? height : 0),
          pixels_(static_cast<std::size_t>(width_) * 3 * static_cast<std::size_t>(height_))
    {
    }

    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t stride() const { return static_cast<std::size_t>(width_) * 3; }
    std::uint8_t* data() { return pixels_.data(); }
    const std::uint8_t* data() const { return pixels_.data(); }
    std::uint8_t* row(int y) { return pixels_.data() + stride() * static_cast<std::size_t>(y); }
    const std::uint8_t* row(int y) const
    {
        return pixels_.data() + stride() * static_cast<std::size_t>(y);
    }

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};

} // namespace velmora

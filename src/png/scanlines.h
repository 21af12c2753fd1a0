#pragma once
// The rows of a picture as a PNG stores them: each row preceded by its filter byte.

#include <cstddef>
#include <cstdint>

namespace velmora {

struct Scanlines {
    const std::uint8_t* rows = nullptr; // first row's pixel bytes
    std::size_t stride = 0;             // distance between rows in memory
    std::size_t rowBytes = 0;           // pixel bytes per row
    int rowCount = 0;
    std::uint8_t filterByte = 0; // written before every row

    const std::uint8_t* row(int r) const { return rows + stride * static_cast<std::size_t>(r); }
};

} // namespace velmora

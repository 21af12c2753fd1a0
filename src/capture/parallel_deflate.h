#pragma once
// One zlib stream for the scanlines of a PNG (each row preceded by its filter byte), compressed
// in independent pieces on all cores and joined without recompressing: every piece but the last
// ends on a byte boundary with a full flush, each piece after the first is primed with the 32 KiB
// of scanline data before it, and the Adler-32 checksums of the pieces are combined.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

struct Scanlines {
    const std::uint8_t* rows = nullptr; // first row's pixel bytes
    std::size_t stride = 0;             // distance between rows in memory
    std::size_t rowBytes = 0;           // pixel bytes per row
    int rowCount = 0;
    std::uint8_t filterByte = 0; // written before every row
};

struct ZlibStream {
    std::uint8_t header[2] = {0, 0};
    std::vector<std::vector<std::uint8_t>> pieces; // the raw deflate data, in order
    std::uint8_t trailer[4] = {0, 0, 0, 0};        // Adler-32 of all scanlines, big-endian

    std::size_t size() const;
};

// pieceCount 0 chooses by the number of cores and the amount of data. Returns false when zlib
// fails (out of memory).
bool deflateScanlines(const Scanlines& scanlines, int level, int pieceCount, ZlibStream& out);

} // namespace velmora

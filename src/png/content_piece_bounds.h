#pragma once
// Where the scanline stream is cut into pieces when the caller leaves it to the content: a piece
// starts at a row picked by that row's own fingerprint, not by its position. After a scroll the
// rows that only moved therefore start the same pieces as before, and those pieces (their rows
// and the window before them unchanged) can be taken over instead of compressed again. Pieces
// are kept between a minimum size (each one costs a flush and a cold start of the encoder's
// statistics) and a maximum (so a page of identical rows still splits for the cores).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

// The first row of every piece, then the row count: {0, ..., rowCount}. No piece is empty but the
// one piece of a picture without rows.
std::vector<int> contentPieceBounds(const std::vector<std::uint64_t>& rowHashes,
                                    std::size_t rowBytes);

} // namespace velmora

#pragma once
// One zlib stream for the scanlines of a PNG (each row preceded by its filter byte), compressed
// in independent pieces on all cores and joined without recompressing: every piece but the last
// ends on a byte boundary with a full flush, each piece after the first is primed with the 32 KiB
// of scanline data before it, and the Adler-32 checksums of the pieces are combined. With a
// cache, pieces whose input is found unchanged in the cache's previous picture (even where it
// moved) are taken from it instead of being compressed again; the stream is the same byte for
// byte.

#include "png/row_bands.h"
#include "png/scanlines.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace velmora {

class DeflatePieceCache;

struct ZlibStream {
    std::uint8_t header[2] = {0, 0};
    // The raw deflate data, in order; shared with the cache that keeps them for the next picture.
    std::vector<std::shared_ptr<const std::vector<std::uint8_t>>> pieces;
    std::uint8_t trailer[4] = {0, 0, 0, 0}; // Adler-32 of all scanlines, big-endian

    std::size_t size() const;
};

// pieceCount > 0 cuts the rows evenly into that many pieces; 0 cuts them where their content
// says (content_piece_bounds.h), so that a cache finds moved rows again. maxChain > 0 (level 9
// only) keeps level 9's match settings but gives up the search for a longer match after that
// many candidates: on text, whose many equal strings make zlib's chains long, that costs a few
// per cent of size and spares most of the time. changedRows: the rows that may differ from the
// cache's previous picture (DeflatePieceCache::fingerprint). Returns false when zlib fails (out
// of memory); the cache then forgets its picture.
bool deflateScanlines(const Scanlines& scanlines, int level, int pieceCount, ZlibStream& out,
                      DeflatePieceCache* cache = nullptr, int maxChain = 0,
                      const RowBands& changedRows = RowBands::all());

} // namespace velmora

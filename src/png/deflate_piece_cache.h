#pragma once
// The compressed pieces of the previous picture of one writer, kept so that a piece whose whole
// input is unchanged is not compressed again, wherever that input now lies: after a scroll the
// same rows, with the same window before them, come back a few rows higher. A piece's input is
// its rows and the window of stream before them that primes it (deflate_piece_layout.h); the
// level and match search, the filter byte, the row size and whether it is the stream's last piece
// decide the rest.
// Pieces are found by the fingerprints of their rows, and the cache keeps a copy of the previous
// picture's rows and compares exactly (memcmp), so a reused piece is always the piece compressing
// would give. Not thread-safe: its owner serialises the pictures.

#include "png/row_bands.h"
#include "png/scanlines.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace velmora {

struct CompressedPiece {
    std::shared_ptr<const std::vector<std::uint8_t>> bytes; // raw deflate data; none: to compress
    std::uint32_t adler = 1;    // Adler-32 of the piece's own scanline bytes
    std::size_t inputBytes = 0; // its own scanline bytes (without the priming window)
};

class DeflatePieceCache {
public:
    // The fingerprints of a new picture's rows (row_hashes.h). A row equal to the kept row at the
    // same place takes over its fingerprint without hashing, and is noted as unchanged for the
    // take() that follows: a still screen costs one comparison of its rows, as before. Rows
    // outside changedRows are taken as equal to the kept ones without even that comparison,
    // when the kept picture has as many rows of the same size (else the hint is ignored).
    std::vector<std::uint64_t> fingerprint(const Scanlines& scanlines,
                                           const RowBands& changedRows = RowBands::all());

    // Called before the pieces of a new picture are compressed, with the picture's piece bounds
    // ({0, ..., rowCount}) and the fingerprints of its rows from fingerprint(). Gives one entry per
    // piece: a piece of the previous picture whose input is byte for byte this piece's input, an
    // empty entry elsewhere. The kept copy becomes this picture; its pieces count only once
    // store() has them.
    std::vector<CompressedPiece> take(const Scanlines& scanlines, int level, int maxChain,
                                      const std::vector<int>& bounds,
                                      std::vector<std::uint64_t> rowHashes);

    // Every piece of the picture last given to take(), compressed.
    void store(const std::vector<CompressedPiece>& pieces);

    // Forgets the previous picture and gives its memory back.
    void clear();

    // Pieces take() found reusable for the last picture.
    int lastReused() const { return lastReused_; }
    // Pieces of the last picture.
    int lastPieceCount() const
    {
        return bounds_.empty() ? 0 : static_cast<int>(bounds_.size()) - 1;
    }

private:
    // What every piece's bytes depend on besides its input.
    struct Format {
        std::size_t rowBytes = 0;
        int level = 0;
        int maxChain = 0;
        std::uint8_t filterByte = 0;
        bool operator==(const Format&) const = default;
    };

    std::uint64_t pieceKey(int firstRow, int endRow, bool last) const;
    bool sameInputAsKept(const Scanlines& scanlines, int firstRow, int endRow,
                         int keptFirstRow) const;
    void keepAllRows(const Scanlines& scanlines);
    const std::uint8_t* keptRow(int row) const
    {
        return rows_.get() + format_.rowBytes * static_cast<std::size_t>(row);
    }

    Format format_;
    bool complete_ = false;                // the kept rows, bounds and pieces belong to one picture
    std::unique_ptr<std::uint8_t[]> rows_; // the previous picture's pixel rows, packed
    std::size_t rowsSize_ = 0;
    std::size_t keptRowCount_ = 0;
    std::vector<std::uint64_t> hashes_; // of the kept rows
    std::vector<char> rowUnchanged_;    // from fingerprint(): the new row equals the kept one
    std::vector<int> bounds_;
    std::vector<CompressedPiece> pieces_;
    std::unordered_multimap<std::uint64_t, int> pieceByKey_; // key: pieceKey; value: piece
    int lastReused_ = 0;
};

} // namespace velmora

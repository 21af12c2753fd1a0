#pragma once
// The compressed pieces of the previous picture of one writer, kept so that a piece whose whole
// input is unchanged is not compressed again. A piece's input is its rows and the window of
// stream before them that primes it (deflate_piece_layout.h); the level, the filter byte, the
// row size, the row count and the piece count decide the rest. The cache keeps a copy of the
// previous picture's rows and compares exactly (memcmp), so a reused piece is always the piece
// compressing would give. Not thread-safe: its owner serialises the pictures.

#include "capture/scanlines.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace velmora {

struct CompressedPiece {
    std::shared_ptr<const std::vector<std::uint8_t>> bytes; // raw deflate data; none: to compress
    std::uint32_t adler = 1;    // Adler-32 of the piece's own scanline bytes
    std::size_t inputBytes = 0; // its own scanline bytes (without the priming window)
};

class DeflatePieceCache {
public:
    // Called before the pieces of a new picture are compressed. Gives one entry per piece: the
    // previous picture's piece where this picture's input for it is byte for byte the same, an
    // empty entry elsewhere. The kept copy becomes this picture; its pieces count only once
    // store() has them.
    std::vector<CompressedPiece> take(const Scanlines& scanlines, int level, int pieceCount);

    // Every piece of the picture last given to take(), compressed.
    void store(const std::vector<CompressedPiece>& pieces);

    // Forgets the previous picture and gives its memory back.
    void clear();

    // Pieces take() found reusable for the last picture.
    int lastReused() const { return lastReused_; }
    // Pieces of the last picture.
    int lastPieceCount() const { return layout_.pieceCount; }

private:
    struct Layout {
        std::size_t rowBytes = 0;
        int rowCount = 0;
        int pieceCount = 0;
        int level = 0;
        std::uint8_t filterByte = 0;
        bool operator==(const Layout&) const = default;
    };

    void keepAllRows(const Scanlines& scanlines);
    bool inputUnchanged(const Scanlines& scanlines, int firstRow, int endRow) const;
    const std::uint8_t* keptRow(int row) const
    {
        return rows_.get() + layout_.rowBytes * static_cast<std::size_t>(row);
    }

    Layout layout_;
    bool complete_ = false;                // the kept rows and pieces belong to one picture
    std::unique_ptr<std::uint8_t[]> rows_; // the previous picture's pixel rows, packed
    std::size_t rowsSize_ = 0;
    std::vector<char> rowChanged_;
    std::vector<CompressedPiece> pieces_;
    int lastReused_ = 0;
};

} // namespace velmora

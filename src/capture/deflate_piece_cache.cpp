#include "capture/deflate_piece_cache.h"

#include "capture/deflate_piece_layout.h"

#include <algorithm>
#include <cstring>

namespace velmora {

std::vector<CompressedPiece> DeflatePieceCache::take(const Scanlines& s, int level, int pieceCount)
{
    const Layout layout{s.rowBytes, s.rowCount, pieceCount, level, s.filterByte};
    const bool comparable =
        complete_ && layout == layout_ && pieces_.size() == static_cast<std::size_t>(pieceCount);
    complete_ = false;
    lastReused_ = 0;
    std::vector<CompressedPiece> result(static_cast<std::size_t>(std::max(pieceCount, 0)));
    if (!comparable) {
        pieces_.clear();
        layout_ = layout;
        keepAllRows(s);
        return result;
    }

    for (int r = 0; r < s.rowCount; ++r)
        rowChanged_[static_cast<std::size_t>(r)] =
            std::memcmp(keptRow(r), s.row(r), s.rowBytes) != 0;

    for (int piece = 0; piece < pieceCount; ++piece) {
        if (inputUnchanged(s, pieceFirstRow(s.rowCount, pieceCount, piece),
                           pieceFirstRow(s.rowCount, pieceCount, piece + 1))) {
            result[static_cast<std::size_t>(piece)] = pieces_[static_cast<std::size_t>(piece)];
            ++lastReused_;
        }
    }
    pieces_.clear();

    // Only now: the comparisons above read the previous picture's rows.
    for (int r = 0; r < s.rowCount; ++r)
        if (rowChanged_[static_cast<std::size_t>(r)])
            std::memcpy(rows_.get() + s.rowBytes * static_cast<std::size_t>(r), s.row(r),
                        s.rowBytes);
    return result;
}

void DeflatePieceCache::store(const std::vector<CompressedPiece>& pieces)
{
    pieces_ = pieces;
    complete_ = pieces_.size() == static_cast<std::size_t>(layout_.pieceCount);
}

void DeflatePieceCache::clear()
{
    complete_ = false;
    lastReused_ = 0;
    pieces_.clear();
    pieces_.shrink_to_fit();
    rows_.reset();
    rowsSize_ = 0;
    rowChanged_.clear();
    rowChanged_.shrink_to_fit();
}

void DeflatePieceCache::keepAllRows(const Scanlines& s)
{
    const std::size_t size = s.rowBytes * static_cast<std::size_t>(std::max(s.rowCount, 0));
    if (size != rowsSize_) {
        rows_.reset(); // the old copy goes before the new one comes
        rowsSize_ = 0;
        rows_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        rowsSize_ = size;
    }
    for (int r = 0; r < s.rowCount; ++r)
        std::memcpy(rows_.get() + s.rowBytes * static_cast<std::size_t>(r), s.row(r), s.rowBytes);
    rowChanged_.assign(static_cast<std::size_t>(std::max(s.rowCount, 0)), 0);
}

// The piece's input runs from the start of its priming window, which may begin inside a row, to
// the end of its last row. Filter bytes need no comparing: the layout fixes them.
bool DeflatePieceCache::inputUnchanged(const Scanlines& s, int firstRow, int endRow) const
{
    const StreamSpan input = pieceInput(s.rowBytes, firstRow, endRow);
    const int startRow = static_cast<int>(input.begin / (s.rowBytes + 1));
    const std::size_t startColumn = input.begin % (s.rowBytes + 1); // 0: the filter byte
    for (int r = startRow + 1; r < endRow; ++r)
        if (rowChanged_[static_cast<std::size_t>(r)])
            return false;
    if (!rowChanged_[static_cast<std::size_t>(startRow)])
        return true;
    if (startColumn <= 1)
        return false; // the whole row belongs to the input
    const std::size_t from = startColumn - 1;
    return std::memcmp(keptRow(startRow) + from, s.row(startRow) + from, s.rowBytes - from) == 0;
}

} // namespace velmora

#include "png/deflate_piece_cache.h"

#include "png/deflate_piece_layout.h"
#include "png/row_hashes.h"

#include <algorithm>
#include <cstring>

namespace velmora {
namespace {

std::uint64_t combine(std::uint64_t seed, std::uint64_t value)
{
    seed ^= value + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2);
    return seed * 0xff51afd7ed558ccdull;
}

} // namespace

std::vector<std::uint64_t> DeflatePieceCache::fingerprint(const Scanlines& s,
                                                          const RowBands& changedRows)
{
    const std::size_t rowCount = static_cast<std::size_t>(std::max(s.rowCount, 0));
    std::vector<std::uint64_t> hashes(rowCount);
    rowUnchanged_.assign(rowCount, 0);
    const bool kept = rows_ && format_.rowBytes == s.rowBytes && hashes_.size() == keptRowCount_;
    const auto compareRows = [&](int from, int to) {
        for (int row = from; row < to; ++row) {
            const auto r = static_cast<std::size_t>(row);
            if (kept && r < keptRowCount_ &&
                std::memcmp(keptRow(row), s.row(row), s.rowBytes) == 0) {
                hashes[r] = hashes_[r];
                rowUnchanged_[r] = 1;
            } else {
                hashes[r] = hashRow(s.row(row), s.rowBytes);
            }
        }
    };
    if (!kept || keptRowCount_ != rowCount || changedRows.everything()) {
        compareRows(0, s.rowCount);
        return hashes;
    }
    // The caller vouches for the rows between the bands: they are the kept ones.
    int row = 0;
    const auto takeKept = [&](int to) {
        for (; row < to; ++row) {
            hashes[static_cast<std::size_t>(row)] = hashes_[static_cast<std::size_t>(row)];
            rowUnchanged_[static_cast<std::size_t>(row)] = 1;
        }
    };
    const RowBands changed = changedRows.within(0, s.rowCount);
    for (const RowBand& band : changed.bands()) {
        takeKept(band.top);
        compareRows(band.top, band.bottom);
        row = band.bottom;
    }
    takeKept(s.rowCount);
    return hashes;
}

std::vector<CompressedPiece> DeflatePieceCache::take(const Scanlines& s, int level, int maxChain,
                                                     const std::vector<int>& bounds,
                                                     std::vector<std::uint64_t> rowHashes)
{
    const Format format{s.rowBytes, level, maxChain, s.filterByte};
    const bool comparable = complete_ && format == format_;
    complete_ = false;
    lastReused_ = 0;
    const int pieceCount = std::max(0, static_cast<int>(bounds.size()) - 1);
    std::vector<CompressedPiece> result(static_cast<std::size_t>(pieceCount));

    if (comparable) {
        // The new picture's keys are worked out from its own fingerprints.
        std::swap(hashes_, rowHashes);
        for (int piece = 0; piece < pieceCount; ++piece) {
            const int first = bounds[static_cast<std::size_t>(piece)];
            const int end = bounds[static_cast<std::size_t>(piece) + 1];
            const auto [from, to] =
                pieceByKey_.equal_range(pieceKey(first, end, piece + 1 == pieceCount));
            for (auto candidate = from; candidate != to; ++candidate) {
                const int kept = candidate->second;
                const bool keptLast = kept + 1 == static_cast<int>(bounds_.size()) - 1;
                const int keptRows = bounds_[static_cast<std::size_t>(kept) + 1] -
                                     bounds_[static_cast<std::size_t>(kept)];
                if (keptLast == (piece + 1 == pieceCount) && keptRows == end - first &&
                    sameInputAsKept(s, first, end, bounds_[static_cast<std::size_t>(kept)])) {
                    result[static_cast<std::size_t>(piece)] =
                        pieces_[static_cast<std::size_t>(kept)];
                    ++lastReused_;
                    break;
                }
            }
        }
        std::swap(hashes_, rowHashes);
    }

    // Only now: the comparisons above read the previous picture's rows.
    pieces_.clear();
    pieceByKey_.clear();
    format_ = format;
    bounds_ = bounds;
    hashes_ = std::move(rowHashes);
    keepAllRows(s);
    rowUnchanged_.clear(); // they described the kept picture against the one before
    return result;
}

void DeflatePieceCache::store(const std::vector<CompressedPiece>& pieces)
{
    const int pieceCount = lastPieceCount();
    if (pieces.size() != static_cast<std::size_t>(pieceCount))
        return;
    pieces_ = pieces;
    pieceByKey_.reserve(pieces_.size());
    for (int piece = 0; piece < pieceCount; ++piece)
        pieceByKey_.emplace(pieceKey(bounds_[static_cast<std::size_t>(piece)],
                                     bounds_[static_cast<std::size_t>(piece) + 1],
                                     piece + 1 == pieceCount),
                            piece);
    complete_ = true;
}

void DeflatePieceCache::clear()
{
    complete_ = false;
    lastReused_ = 0;
    pieces_.clear();
    pieces_.shrink_to_fit();
    pieceByKey_ = {};
    bounds_.clear();
    bounds_.shrink_to_fit();
    hashes_.clear();
    hashes_.shrink_to_fit();
    rows_.reset();
    rowsSize_ = 0;
    keptRowCount_ = 0;
    rowUnchanged_.clear();
    rowUnchanged_.shrink_to_fit();
}

// Everything that decides whether two pieces can have the same input, from hashes_: where the
// input starts inside its first row (the window may begin mid-row), how many rows it covers, the
// fingerprints of its whole rows, and whether the piece closes the stream.
std::uint64_t DeflatePieceCache::pieceKey(int firstRow, int endRow, bool last) const
{
    const std::size_t line = format_.rowBytes + 1;
    const StreamSpan input = pieceInput(format_.rowBytes, firstRow, endRow);
    const int startRow = static_cast<int>(input.begin / line);
    std::uint64_t key = combine(input.end - input.begin, input.begin % line);
    key = combine(key, static_cast<std::uint64_t>(endRow - firstRow) << 1 | (last ? 1 : 0));
    // A window that starts inside its first row holds only that row's tail, which the row's
    // fingerprint does not describe; the comparison checks it.
    const bool partialFirstRow = input.begin % line > 1;
    for (int r = startRow + (partialFirstRow ? 1 : 0); r < endRow; ++r)
        key = combine(key, hashes_[static_cast<std::size_t>(r)]);
    return key;
}

// The new piece's input against the kept picture's piece starting at keptFirstRow: the same
// length of window and rows, byte for byte. Filter bytes need no comparing: the format fixes them.
bool DeflatePieceCache::sameInputAsKept(const Scanlines& s, int firstRow, int endRow,
                                        int keptFirstRow) const
{
    const std::size_t line = s.rowBytes + 1;
    const StreamSpan input = pieceInput(s.rowBytes, firstRow, endRow);
    const StreamSpan kept =
        pieceInput(s.rowBytes, keptFirstRow, keptFirstRow + (endRow - firstRow));
    if (input.end - input.begin != kept.end - kept.begin || input.begin % line != kept.begin % line)
        return false;
    const int shift = keptFirstRow - firstRow;
    const int startRow = static_cast<int>(input.begin / line);
    const std::size_t startColumn = input.begin % line; // 0: the filter byte
    if (shift == 0 && rowUnchanged_.size() == static_cast<std::size_t>(s.rowCount)) {
        // In place: fingerprint() has already compared each row with the one kept there.
        for (int r = startRow + 1; r < endRow; ++r)
            if (!rowUnchanged_[static_cast<std::size_t>(r)])
                return false;
        if (rowUnchanged_[static_cast<std::size_t>(startRow)])
            return true;
        if (startColumn <= 1)
            return false; // the whole row belongs to the input
    }
    for (int r = startRow; r < endRow; ++r) {
        // The window may start inside its first row; column 0 is the filter byte.
        const std::size_t from = r == startRow && startColumn > 1 ? startColumn - 1 : 0;
        if (std::memcmp(keptRow(r + shift) + from, s.row(r) + from, s.rowBytes - from) != 0)
            return false;
    }
    return true;
}

void DeflatePieceCache::keepAllRows(const Scanlines& s)
{
    const std::size_t rowCount = static_cast<std::size_t>(std::max(s.rowCount, 0));
    const std::size_t size = s.rowBytes * rowCount;
    if (size != rowsSize_) {
        rows_.reset(); // the old copy goes before the new one comes
        rowsSize_ = 0;
        rows_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        rowsSize_ = size;
        rowUnchanged_.clear(); // nothing of the old copy is left
    }
    keptRowCount_ = rowCount;
    const bool known = rowUnchanged_.size() == rowCount;
    for (std::size_t r = 0; r < rowCount; ++r)
        if (!known || !rowUnchanged_[r])
            std::memcpy(rows_.get() + s.rowBytes * r, s.row(static_cast<int>(r)), s.rowBytes);
}

} // namespace velmora

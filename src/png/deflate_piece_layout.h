#pragma once
// How the scanline stream is cut into pieces that compress independently, and what each piece's
// input is. The stream is the rows one after another, each preceded by its filter byte; a piece
// covers whole rows and is primed with the (up to) 32 KiB of stream that lie before its first
// row. Its compressed bytes depend on nothing else but those bytes, the compression level and
// whether it is the stream's last piece.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

inline constexpr std::size_t kDeflateWindowBytes = 32768;

// A stretch of the scanline stream, as byte offsets from its start: [begin, end).
struct StreamSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// First row of a piece; piece == pieceCount gives the row count.
inline int pieceFirstRow(int rowCount, int pieceCount, int piece)
{
    return static_cast<int>(std::int64_t{rowCount} * piece / pieceCount);
}

// The first row of every piece of an even cut into pieceCount pieces, then the row count.
inline std::vector<int> evenPieceBounds(int rowCount, int pieceCount)
{
    std::vector<int> bounds;
    for (int piece = 0; piece <= pieceCount; ++piece)
        bounds.push_back(pieceFirstRow(rowCount, pieceCount, piece));
    return bounds;
}

inline std::size_t streamOffsetOfRow(std::size_t rowBytes, int row)
{
    return (rowBytes + 1) * static_cast<std::size_t>(row);
}

// The bytes that prime the piece starting at firstRow.
inline StreamSpan primingWindow(std::size_t rowBytes, int firstRow)
{
    const std::size_t start = streamOffsetOfRow(rowBytes, firstRow);
    return {start - std::min(start, kDeflateWindowBytes), start};
}

// Everything the piece of rows [firstRow, endRow) depends on: its priming window and its rows.
inline StreamSpan pieceInput(std::size_t rowBytes, int firstRow, int endRow)
{
    return {primingWindow(rowBytes, firstRow).begin, streamOffsetOfRow(rowBytes, endRow)};
}

} // namespace velmora

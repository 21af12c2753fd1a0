#pragma once
// The program's own PNG writer: truecolour RGB, 8 bits per channel, no interlacing, filter None
// on every row, zlib level 9, and only the chunks IHDR, IDAT and IEND. The rows are compressed
// on all cores (parallel_deflate.h); the file is the same format a single-threaded libpng
// writer with those settings produces.

#include "png/deflate_piece_cache.h"
#include "png/rgb_picture.h"
#include "png/row_bands.h"

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

namespace velmora {

struct PngWriteOptions {
    int pieceCount = 0;                  // 0: cut where the rows' content says
    std::size_t maxIdatBytes = 1u << 20; // data bytes per IDAT chunk
    int maxMatchChain = 0;               // 0: zlib level 9 exactly; else parallel_deflate.h
};

// What the program writes its captures with: a screen of text compressed about four times as
// fast as with zlib level 9's full search, at a size a few per cent above it (measured by
// bench/scroll_deflate_bench).
inline constexpr PngWriteOptions kCaptureWriteOptions{.maxMatchChain = 512};

// The PNG's bytes; empty when the picture has no pixels or compression fails.
std::optional<std::string> encodePng(const RgbPicture& picture,
                                     const PngWriteOptions& options = {});
// Replaces the file at path by png. False, with no file left at path, when it cannot be
// written completely.
bool writePngBytes(const std::string& path, const std::string& png);
// encodePng, then writePngBytes.
bool writePng(const std::string& path, const RgbPicture& picture,
              const PngWriteOptions& options = {});

// The writer for a series of pictures, such as the captures of one screen: it keeps the previous
// picture's rows and compressed pieces, and compresses again only the pieces whose input is new.
// Every picture's bytes are those encodePng gives for the same picture and options. Memory:
// one packed copy of the last picture plus its compressed data. Calls from several threads take
// turns.
class PngWriter {
public:
    // As encodePng. Pieces of the previous picture are taken over wherever this picture has the
    // same piece with the same input, also after a scroll when the pieces are cut by content.
    // changedRows: the rows that may differ from the picture this writer encoded last;
    // the caller vouches that every other row is byte for byte that picture's, and those rows
    // are then neither compared nor hashed. Ignored when the previous picture had another size.
    std::optional<std::string> encode(const RgbPicture& picture,
                                      const PngWriteOptions& options = {},
                                      const RowBands& changedRows = RowBands::all());
    // encode, then writePngBytes.
    bool write(const std::string& path, const RgbPicture& picture,
               const PngWriteOptions& options = {}, const RowBands& changedRows = RowBands::all());

    // Pieces of the last picture that were taken over from the one before (tests, benchmarks).
    int lastReusedPieces() const;
    int lastPieceCount() const;

private:
    mutable std::mutex mutex_;
    DeflatePieceCache cache_;
    bool cacheHoldsPrevious_ = false; // the cache's picture is that of the previous write()
};

} // namespace velmora

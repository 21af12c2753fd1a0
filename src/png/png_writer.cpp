#include "png/png_writer.h"

#include "png/parallel_deflate.h"

#include "core/local_file.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <filesystem>
#include <memory>
#include <system_error>

namespace velmora {
namespace {

constexpr int kCompressionLevel = 9;

struct PngWriteStruct {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWriteStruct()
    {
        if (png)
            png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

void ignoreWarning(png_structp, png_const_charp)
{
}

// Errors come back as a false result; nothing is printed.
[[noreturn]] void leaveOnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Writes the IDAT data as chunks of at most maxBytes each, across the stream's parts.
class IdatWriter {
public:
    IdatWriter(png_structp png, std::size_t total, std::size_t maxBytes)
        : png_(png), left_(total), maxBytes_(std::max<std::size_t>(1, maxBytes))
    {
    }
    void write(const std::uint8_t* data, std::size_t size)
    {
        while (size > 0) {
            if (chunkLeft_ == 0) {
                chunkLeft_ = std::min(left_, maxBytes_);
                png_write_chunk_start(png_, reinterpret_cast<png_const_bytep>("IDAT"),
                                      static_cast<png_uint_32>(chunkLeft_));
            }
            const std::size_t part = std::min(size, chunkLeft_);
            png_write_chunk_data(png_, data, part);
            data += part;
            size -= part;
            chunkLeft_ -= part;
            left_ -= part;
            if (chunkLeft_ == 0)
                png_write_chunk_end(png_);
        }
    }

private:
    png_structp png_;
    std::size_t left_;
    std::size_t maxBytes_;
    std::size_t chunkLeft_ = 0;
};

void appendToBytes(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<std::string*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), size);
}

void nothingToFlush(png_structp)
{
}

// libpng reports its errors by longjmp back into this frame; nothing in it has a destructor,
// so the jump skips no clean-up.
bool writeChunks(png_structp png, png_infop info, std::string* out, const RgbPicture& picture,
                 const ZlibStream& stream, std::size_t maxIdatBytes)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, appendToBytes, nothingToFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width()),
                 static_cast<png_uint_32>(picture.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);

    IdatWriter idat(png, stream.size(), maxIdatBytes);
    idat.write(stream.header, sizeof stream.header);
    for (const auto& piece : stream.pieces)
        idat.write(piece->data(), piece->size());
    idat.write(stream.trailer, sizeof stream.trailer);

    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
    return true;
}

// Compresses the picture, with the cache when there is one, into the PNG's bytes.
std::optional<std::string> encodePngWith(const RgbPicture& picture, const PngWriteOptions& options,
                                         DeflatePieceCache* cache, const RowBands& changedRows)
{
    // PNG allows no empty picture, and its sizes are limited to 2^31 - 1.
    if (picture.width() <= 0 || picture.height() <= 0)
        return std::nullopt;

    Scanlines scanlines;
    scanlines.rows = picture.data();
    scanlines.stride = picture.stride();
    scanlines.rowBytes = picture.stride();
    scanlines.rowCount = picture.height();
    scanlines.filterByte = 0; // filter type None
    ZlibStream stream;
    if (!deflateScanlines(scanlines, kCompressionLevel, options.pieceCount, stream, cache,
                          options.maxMatchChain, changedRows))
        return std::nullopt;

    std::string bytes;
    bytes.reserve(stream.size() + 1024);
    PngWriteStruct png;
    png.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, leaveOnError, ignoreWarning);
    if (png.png)
        png.info = png_create_info_struct(png.png);
    if (!png.info || !writeChunks(png.png, png.info, &bytes, picture, stream, options.maxIdatBytes))
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<std::string> encodePng(const RgbPicture& picture, const PngWriteOptions& options)
{
    return encodePngWith(picture, options, nullptr, RowBands::all());
}

bool writePngBytes(const std::string& path, const std::string& png)
{
    if (writeWholeFile(path, png))
        return true;
    // No truncated picture may pass for a good one (only plain files: the path may be a device).
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored))
        std::filesystem::remove(path, ignored);
    return false;
}

bool writePng(const std::string& path, const RgbPicture& picture, const PngWriteOptions& options)
{
    const std::optional<std::string> png = encodePng(picture, options);
    return png && writePngBytes(path, *png);
}

std::optional<std::string> PngWriter::encode(const RgbPicture& picture,
                                             const PngWriteOptions& options,
                                             const RowBands& changedRows)
{
    const std::lock_guard lock(mutex_);
    // A picture without pixels never reaches the cache: its kept picture is then not the
    // previous one, which the changed rows of the next call describe.
    const bool hintHolds = cacheHoldsPrevious_;
    cacheHoldsPrevious_ = picture.width() > 0 && picture.height() > 0;
    return encodePngWith(picture, options, &cache_, hintHolds ? changedRows : RowBands::all());
}

bool PngWriter::write(const std::string& path, const RgbPicture& picture,
                      const PngWriteOptions& options, const RowBands& changedRows)
{
    const std::optional<std::string> png = encode(picture, options, changedRows);
    return png && writePngBytes(path, *png);
}

int PngWriter::lastReusedPieces() const
{
    const std::lock_guard lock(mutex_);
    return cache_.lastReused();
}

int PngWriter::lastPieceCount() const
{
    const std::lock_guard lock(mutex_);
    return cache_.lastPieceCount();
}

} // namespace velmora

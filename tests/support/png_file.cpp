#include "support/png_file.h"

#include "support/file_bytes.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace velmora::test {
namespace {

std::uint32_t bigEndian(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// libpng's simplified reader, freed on every way out.
class PngImage {
public:
    PngImage() { image_.version = PNG_IMAGE_VERSION; }
    ~PngImage() { png_image_free(&image_); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
    png_image& get() { return image_; }

private:
    png_image image_{};
};

} // namespace

std::vector<PngChunk> readPngChunks(const std::string& path)
{
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const std::string file = fileBytes(path);
    const std::vector<std::uint8_t> bytes(file.begin(), file.end());
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0)
        return {};
    std::vector<PngChunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const std::uint32_t length = bigEndian(&bytes[at]);
        if (at + 12 + length > bytes.size())
            return {};
        const std::uint8_t* typeAndData = &bytes[at + 4];
        const auto crc = static_cast<std::uint32_t>(crc32(0, typeAndData, 4 + length));
        if (crc != bigEndian(typeAndData + 4 + length))
            return {};
        chunks.push_back({std::string(typeAndData, typeAndData + 4),
                          std::vector<std::uint8_t>(typeAndData + 4, typeAndData + 4 + length)});
        at += 12 + length;
    }
    if (at != bytes.size())
        return {};
    return chunks;
}

std::vector<std::string> chunkTypes(const std::vector<PngChunk>& chunks)
{
    std::vector<std::string> types;
    for (const auto& chunk : chunks)
        types.push_back(chunk.type);
    return types;
}

std::optional<std::vector<std::uint8_t>> inflateImageData(const std::vector<PngChunk>& chunks)
{
    std::vector<std::uint8_t> compressed;
    for (const auto& chunk : chunks)
        if (chunk.type == "IDAT")
            compressed.insert(compressed.end(), chunk.data.begin(), chunk.data.end());
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return std::nullopt;
    std::vector<std::uint8_t> out;
    std::uint8_t buffer[65536];
    z.next_in = compressed.data();
    z.avail_in = static_cast<uInt>(compressed.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    }
    const bool complete = rc == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    if (!complete)
        return std::nullopt;
    return out;
}

std::optional<PngPixels> decodePng(const std::string& path)
{
    PngImage reader;
    png_image& image = reader.get();
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return std::nullopt;
    image.format = PNG_FORMAT_RGB;
    PngPixels pixels;
    pixels.width = static_cast<int>(image.width);
    pixels.height = static_cast<int>(image.height);
    pixels.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.rgb.data(), 0, nullptr))
        return std::nullopt;
    return pixels;
}

bool writePngFile(const std::string& path, const PngPixels& pixels)
{
    const std::optional<std::string> png = pngBytes(pixels);
    return png && writeFileBytes(path, *png);
}

std::optional<std::string> pngBytes(const PngPixels& pixels)
{
    PngImage writer;
    png_image& image = writer.get();
    image.width = static_cast<png_uint_32>(pixels.width);
    image.height = static_cast<png_uint_32>(pixels.height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.rgb.data(), 0, nullptr))
        return std::nullopt;
    std::string bytes(size, '\0');
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.rgb.data(), 0, nullptr))
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

PngPixels solidPixels(int width, int height, std::uint8_t red, std::uint8_t green,
                      std::uint8_t blue)
{
    PngPixels pixels{width, height, {}};
    pixels.rgb.reserve(static_cast<std::size_t>(width) * height * 3);
    for (int i = 0; i < width * height; ++i)
        pixels.rgb.insert(pixels.rgb.end(), {red, green, blue});
    return pixels;
}

bool allBlack(const PngPixels& pixels)
{
    return !pixels.rgb.empty() &&
           std::all_of(pixels.rgb.begin(), pixels.rgb.end(), [](std::uint8_t b) { return b == 0; });
}

} // namespace velmora::test

#include "png_file.h"

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace velmora::test {
namespace {

std::uint32_t bigEndian(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

} // namespace

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<PngChunk> readPngChunks(const std::string& path)
{
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const std::vector<std::uint8_t> bytes = fileBytes(path);
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

std::optional<DecodedPng> decodePng(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return std::nullopt;
    image.format = PNG_FORMAT_RGB;
    DecodedPng decoded;
    decoded.width = static_cast<int>(image.width);
    decoded.height = static_cast<int>(image.height);
    decoded.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, decoded.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    return decoded;
}

} // namespace velmora::test

#pragma once
// PNG files in tests, read and written with libpng and zlib directly, independent of the
// program's own writer: the raw chunk list (CRCs checked), the inflated scanlines, the decoded
// pixels, and small pictures of one colour.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::test {

struct PngChunk {
    std::string type;
    std::vector<std::uint8_t> data;
};

// Empty when the signature or a CRC is wrong.
std::vector<PngChunk> readPngChunks(const std::string& path);
std::vector<std::string> chunkTypes(const std::vector<PngChunk>& chunks);
// The concatenated IDAT data inflated; nothing when zlib rejects it (header, data or Adler-32).
std::optional<std::vector<std::uint8_t>> inflateImageData(const std::vector<PngChunk>& chunks);

// The pixels of a picture as red, green, blue bytes, rows top to bottom.
struct PngPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // width * height * 3 bytes

    const std::uint8_t* at(int x, int y) const
    {
        return &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    }
};

// Nothing when libpng cannot read the file.
std::optional<PngPixels> decodePng(const std::string& path);
bool writePngFile(const std::string& path, const PngPixels& pixels);
// The PNG file's bytes; nothing when libpng cannot write the picture.
std::optional<std::string> pngBytes(const PngPixels& pixels);

PngPixels solidPixels(int width, int height, std::uint8_t red, std::uint8_t green,
                      std::uint8_t blue);
// False for a picture without pixels.
bool allBlack(const PngPixels& pixels);

} // namespace velmora::test

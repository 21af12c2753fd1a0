#pragma once
// Reading PNG files back in tests: the raw chunk list (CRCs checked), the inflated scanlines and
// the decoded pixels as libpng sees them.

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

struct DecodedPng {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};
std::optional<DecodedPng> decodePng(const std::string& path);

std::vector<std::uint8_t> fileBytes(const std::string& path);

} // namespace velmora::test

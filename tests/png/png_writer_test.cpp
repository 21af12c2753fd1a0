#include "png/png_writer.h"

#include "support/png_file.h"
#include "support/temporary_folder.h"
#include "support/test_pictures.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

namespace velmora {
namespace {

using test::TemporaryFolder;

std::vector<std::uint8_t> scanlinesOf(const RgbPicture& picture)
{
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < picture.height(); ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), picture.row(y), picture.row(y) + picture.stride());
    }
    return raw;
}

TEST(PngWriter, WritesOnlyHeaderDataAndEndAsTruecolourWithFilterNone)
{
    TemporaryFolder folder;
    const RgbPicture picture = test::patternPicture(301, 157);
    const std::string path = folder.file("Velmora.png");
    ASSERT_TRUE(writePng(path, picture, {.pieceCount = 4, .maxIdatBytes = 4096}));

    const auto chunks = test::readPngChunks(path);
    ASSERT_GE(chunks.size(), 4u) << "several IDAT chunks expected with 4 KiB chunks";
    const auto types = test::chunkTypes(chunks);
    EXPECT_EQ(types.front(), "IHDR");
    EXPECT_EQ(types.back(), "IEND");
    for (std::size_t i = 1; i + 1 < types.size(); ++i)
        EXPECT_EQ(types[i], "IDAT") << "chunk " << i;

    const auto& ihdr = chunks.front().data;
    ASSERT_EQ(ihdr.size(), 13u);
    const std::vector<std::uint8_t> expectedHeader = {0, 0, 1, 45, 0, 0, 0, 157, 8, 2, 0, 0, 0};
    EXPECT_EQ(ihdr, expectedHeader) << "301 x 157, depth 8, RGB, deflate, filter 0, no interlace";
    EXPECT_EQ(chunks[1].data[0], 0x78);
    EXPECT_EQ(chunks[1].data[1], 0xDA) << "zlib header of the best compression level";

    // Every row carries filter byte 0 followed by the pixels unchanged.
    const auto raw = test::inflateImageData(chunks);
    ASSERT_TRUE(raw.has_value());
    EXPECT_EQ(*raw, scanlinesOf(picture));

    const auto decoded = test::decodePng(path);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->width, 301);
    EXPECT_EQ(decoded->height, 157);
    EXPECT_EQ(decoded->rgb,
              std::vector<std::uint8_t>(picture.data(), picture.data() + picture.stride() * 157));
}

TEST(PngWriter, PieceCountChangesNeitherScanlinesNorValidity)
{
    TemporaryFolder folder;
    const RgbPicture picture = test::screenLikePicture(640, 333);
    const auto expected = scanlinesOf(picture);
    for (int pieces : {1, 2, 3, 7, 64, 333, 1000}) {
        const std::string path = folder.file("p" + std::to_string(pieces) + ".png");
        ASSERT_TRUE(writePng(path, picture, {.pieceCount = pieces})) << pieces;
        const auto raw = test::inflateImageData(test::readPngChunks(path));
        ASSERT_TRUE(raw.has_value()) << pieces << " pieces: stream or Adler-32 rejected";
        EXPECT_EQ(*raw, expected) << pieces << " pieces";
        EXPECT_TRUE(test::decodePng(path).has_value()) << pieces;
    }
}

TEST(PngWriter, OnePieceIsExactlyZlibsOwnStream)
{
    TemporaryFolder folder;
    const RgbPicture picture = test::screenLikePicture(500, 120);
    const std::string path = folder.file("one.png");
    ASSERT_TRUE(writePng(path, picture, {.pieceCount = 1, .maxIdatBytes = 1u << 30}));

    const auto raw = scanlinesOf(picture);
    std::vector<std::uint8_t> reference(compressBound(raw.size()));
    uLongf size = reference.size();
    ASSERT_EQ(compress2(reference.data(), &size, raw.data(), raw.size(), 9), Z_OK);
    reference.resize(size);

    const auto chunks = test::readPngChunks(path);
    ASSERT_EQ(test::chunkTypes(chunks), (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    EXPECT_EQ(chunks[1].data, reference);
}

TEST(PngWriter, SinglePixelAndSingleRowPictures)
{
    TemporaryFolder folder;
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 50}, std::pair{2000, 1}}) {
        const RgbPicture picture = test::patternPicture(w, h);
        const std::string path = folder.file("s.png");
        ASSERT_TRUE(writePng(path, picture, {.pieceCount = 8}));
        const auto decoded = test::decodePng(path);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->rgb,
                  std::vector<std::uint8_t>(picture.data(), picture.data() + picture.stride() * h));
    }
}

TEST(PngWriter, RefusesEmptyPicturesAndUnwritablePaths)
{
    TemporaryFolder folder;
    EXPECT_FALSE(writePng(folder.file("empty.png"), RgbPicture(0, 0)));
    EXPECT_FALSE(std::filesystem::exists(folder.file("empty.png")));

    std::filesystem::create_directory(folder.file("Velmora.png"));
    EXPECT_FALSE(writePng(folder.file("Velmora.png"), test::patternPicture(4, 4)));
    EXPECT_FALSE(writePng(folder.file("missing/Velmora.png"), test::patternPicture(4, 4)));
}

TEST(PngWriter, FullDiskIsAFailure)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    EXPECT_FALSE(writePng("/dev/full", test::patternPicture(200, 200)));
    EXPECT_TRUE(std::filesystem::exists("/dev/full")) << "a device is never removed";
}

} // namespace
} // namespace velmora

#pragma once
// Writing and reading small PNG pictures in tests, with libpng directly.

#include <png.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velmora::test {

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // width * height * 3 bytes, rows top to bottom

    const std::uint8_t* at(int x, int y) const { return &rgb[(y * width + x) * 3]; }
};

inline bool writePng(const std::string& path, const RgbPicture& picture)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, picture.rgb.data(), 0, nullptr) != 0;
}

inline RgbPicture solidPicture(int width, int height, std::uint8_t r, std::uint8_t g,
                               std::uint8_t b)
{
    RgbPicture picture{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        picture.rgb.insert(picture.rgb.end(), {r, g, b});
    return picture;
}

// The black picture the program writes when it clears, made here the way the PNG writer does.
inline bool writeBlackPng(const std::string& path, int width, int height)
{
    return writePng(path, solidPicture(width, height, 0, 0, 0));
}

inline RgbPicture readPng(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    RgbPicture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return picture;
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr))
        return RgbPicture{};
    return picture;
}

inline bool allBlack(const RgbPicture& picture)
{
    if (picture.rgb.empty())
        return false;
    for (const auto byte : picture.rgb)
        if (byte != 0)
            return false;
    return true;
}

} // namespace velmora::test

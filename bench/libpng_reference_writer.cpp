#include "libpng_reference_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace velmora::bench {
namespace {

bool writeRows(png_structp png, png_infop info, std::FILE* file, const RgbPicture& picture)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width()),
                 static_cast<png_uint_32>(picture.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < picture.height(); ++y)
        png_write_row(png, picture.row(y));
    png_write_end(png, info);
    return true;
}

} // namespace

bool writePngSingleThreaded(const std::string& path, const RgbPicture& picture)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         &std::fclose);
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool ok = info && writeRows(png, info, file.get(), picture);
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return std::fclose(file.release()) == 0 && ok;
}

} // namespace velmora::bench

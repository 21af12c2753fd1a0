#include "screen/pipewire_format.h"

#include <spa/buffer/buffer.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>

#include <cstddef>

namespace velmora {
namespace {

// Room for a pointer picture of up to 256 x 256 beside each frame; the desktop picks the size.
constexpr std::size_t cursorMetaSize(std::uint32_t side)
{
    return sizeof(spa_meta_cursor) + sizeof(spa_meta_bitmap) + std::size_t{side} * side * 4;
}

} // namespace

std::optional<PixelOrder> pixelOrderOf(spa_video_format format)
{
    switch (format) {
    case SPA_VIDEO_FORMAT_BGRx:
    case SPA_VIDEO_FORMAT_BGRA:
        return PixelOrder::BGRx;
    case SPA_VIDEO_FORMAT_RGBx:
    case SPA_VIDEO_FORMAT_RGBA:
        return PixelOrder::RGBx;
    case SPA_VIDEO_FORMAT_xRGB:
    case SPA_VIDEO_FORMAT_ARGB:
        return PixelOrder::xRGB;
    case SPA_VIDEO_FORMAT_xBGR:
    case SPA_VIDEO_FORMAT_ABGR:
        return PixelOrder::xBGR;
    default:
        return std::nullopt;
    }
}

// Frames of four bytes a pixel in shared memory: what every desktop offers without a GPU in
// between, and what the capture reads without converting colour spaces.
const spa_pod* formatOffer(spa_pod_builder& builder)
{
    spa_rectangle size{1920, 1080};
    spa_rectangle smallest{1, 1};
    spa_rectangle largest{16384, 16384};
    spa_fraction rate{30, 1};
    spa_fraction slowest{0, 1};
    spa_fraction fastest{1000, 1};
    return static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
        SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
        SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
        SPA_POD_CHOICE_ENUM_Id(9, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx,
                               SPA_VIDEO_FORMAT_BGRA, SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA,
                               SPA_VIDEO_FORMAT_xRGB, SPA_VIDEO_FORMAT_ARGB, SPA_VIDEO_FORMAT_xBGR,
                               SPA_VIDEO_FORMAT_ABGR),
        SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&size, &smallest, &largest),
        SPA_FORMAT_VIDEO_framerate, SPA_POD_CHOICE_RANGE_Fraction(&rate, &slowest, &fastest)));
}

std::uint32_t bufferParams(spa_pod_builder& builder, bool cursorAsMetadata,
                           const spa_pod* (&params)[kBufferParamsMost])
{
    std::uint32_t count = 0;
    params[count++] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
        SPA_POD_Int((1 << SPA_DATA_MemPtr) | (1 << SPA_DATA_MemFd))));
    params[count++] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Header), SPA_PARAM_META_size,
        SPA_POD_Int(static_cast<int>(sizeof(spa_meta_header)))));
    if (cursorAsMetadata)
        params[count++] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
            SPA_POD_Id(SPA_META_Cursor), SPA_PARAM_META_size,
            SPA_POD_CHOICE_RANGE_Int(static_cast<int>(cursorMetaSize(64)),
                                     static_cast<int>(cursorMetaSize(1)),
                                     static_cast<int>(cursorMetaSize(256)))));
    return count;
}

} // namespace velmora

#pragma once
// What the capture asks of a PipeWire screen-cast stream: the frame formats it can read, the
// buffers and metadata it wants once a format is agreed, and the byte order of the agreed one.

#include "screen/pipewire_frame.h"

#include <spa/param/video/raw.h>
#include <spa/pod/builder.h>

#include <cstdint>
#include <optional>

namespace velmora {

// The byte order of a negotiated video format, or nothing for one the capture cannot read.
std::optional<PixelOrder> pixelOrderOf(spa_video_format format);

// The formats offered when the stream connects, built in builder's memory.
const spa_pod* formatOffer(spa_pod_builder& builder);

inline constexpr std::uint32_t kBufferParamsMost = 3;

// The buffer and metadata parameters for an agreed format, built in builder's memory into
// params; returns how many. cursorAsMetadata: the pointer travels beside the frames.
std::uint32_t bufferParams(spa_pod_builder& builder, bool cursorAsMetadata,
                           const spa_pod* (&params)[kBufferParamsMost]);

} // namespace velmora

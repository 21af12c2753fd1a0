#pragma once
// A 64-bit fingerprint of each row's pixel bytes. Equal rows have equal fingerprints wherever
// they are on the screen, so rows that moved can be found again; different rows almost always
// differ, but whoever relies on a match still compares the bytes.

#include "png/scanlines.h"

#include <cstdint>
#include <vector>

namespace velmora {

std::uint64_t hashRow(const std::uint8_t* bytes, std::size_t size);

// One fingerprint per row of the scanlines, in order (the filter bytes are not hashed).
std::vector<std::uint64_t> hashRows(const Scanlines& scanlines);

} // namespace velmora

#pragma once
// Base64 with the standard alphabet and "=" padding, as the scrambled credentials are stored.

#include <string>
#include <string_view>

namespace velmora {

std::string base64Encode(std::string_view bytes);

// Forgiving decoder for stored credentials, which may have been damaged by hand: groups of four
// characters give three bytes, one when the third is "=", two when the fourth is "="; characters
// outside the alphabet count as 0. A text whose length is not a multiple of four gives nothing.
std::string base64Decode(std::string_view text);

} // namespace velmora

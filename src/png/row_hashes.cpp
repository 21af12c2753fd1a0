#include "png/row_hashes.h"

#include <cstring>

namespace velmora {
namespace {

constexpr std::uint64_t kPrime1 = 0x9e3779b185ebca87ull;
constexpr std::uint64_t kPrime2 = 0xc2b2ae3d27d4eb4full;

std::uint64_t load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint64_t rotl(std::uint64_t v, int bits)
{
    return v << bits | v >> (64 - bits);
}

std::uint64_t round(std::uint64_t acc, std::uint64_t input)
{
    return rotl(acc + input * kPrime2, 31) * kPrime1;
}

} // namespace

// Four independent lanes keep the multiplier busy: a full screen hashes in about a millisecond,
// small against the compression it may spare.
std::uint64_t hashRow(const std::uint8_t* p, std::size_t size)
{
    std::uint64_t lane[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
    std::size_t at = 0;
    for (; at + 32 <= size; at += 32)
        for (int i = 0; i < 4; ++i)
            lane[i] = round(lane[i], load64(p + at + 8 * i));
    std::uint64_t h = rotl(lane[0], 1) + rotl(lane[1], 7) + rotl(lane[2], 12) + rotl(lane[3], 18);
    for (; at + 8 <= size; at += 8)
        h = rotl(h ^ round(0, load64(p + at)), 27) * kPrime1 + kPrime2;
    for (; at < size; ++at)
        h = rotl(h ^ (p[at] * kPrime1), 11) * kPrime2;
    h ^= size;
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    return h;
}

std::vector<std::uint64_t> hashRows(const Scanlines& s)
{
    std::vector<std::uint64_t> hashes(static_cast<std::size_t>(s.rowCount > 0 ? s.rowCount : 0));
    for (int r = 0; r < s.rowCount; ++r)
        hashes[static_cast<std::size_t>(r)] = hashRow(s.row(r), s.rowBytes);
    return hashes;
}

} // namespace velmora

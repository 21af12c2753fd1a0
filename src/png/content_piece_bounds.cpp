#include "png/content_piece_bounds.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr std::size_t kMinPieceBytes = 64 * 1024;
constexpr std::size_t kTargetPieceBytes = 192 * 1024;
constexpr std::size_t kMaxPieceBytes = 512 * 1024;

std::uint64_t mix(std::uint64_t h)
{
    h ^= h >> 31;
    h *= 0xbf58476d1ce4e5b9ull;
    return h ^ h >> 29;
}

} // namespace

std::vector<int> contentPieceBounds(const std::vector<std::uint64_t>& hashes, std::size_t rowBytes)
{
    const int rows = static_cast<int>(hashes.size());
    const std::size_t line = rowBytes + 1;
    const int minRows = static_cast<int>(std::max<std::size_t>(1, kMinPieceBytes / line));
    const int maxRows =
        std::max(minRows, static_cast<int>(std::max<std::size_t>(1, kMaxPieceBytes / line)));
    const std::uint64_t spacing = std::max<std::size_t>(
        1, kTargetPieceBytes / line - std::min(kTargetPieceBytes / line, std::size_t(minRows)));

    std::vector<int> bounds{0};
    int start = 0;
    for (int r = 1; r < rows; ++r) {
        const int length = r - start;
        if (length < minRows)
            continue;
        // A row equal to the one above starts no piece: in a run of blank rows every row would
        // qualify or none, and the cut would then follow the run's position, not its content.
        const std::uint64_t h = hashes[static_cast<std::size_t>(r)];
        const bool picked = h != hashes[static_cast<std::size_t>(r - 1)] && mix(h) % spacing == 0;
        if (picked || length >= maxRows) {
            bounds.push_back(r);
            start = r;
        }
    }
    bounds.push_back(rows);
    return bounds;
}

} // namespace velmora

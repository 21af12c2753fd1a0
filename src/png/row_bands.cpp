#include "png/row_bands.h"

#include <algorithm>

namespace velmora {

void RowBands::add(int top, int bottom)
{
    if (all_ || top >= bottom)
        return;
    // The first band that reaches top or touches it; it and those after it that reach bottom
    // merge with the new one.
    auto first = std::lower_bound(bands_.begin(), bands_.end(), top,
                                  [](const RowBand& band, int row) { return band.bottom < row; });
    auto last = first;
    for (; last != bands_.end() && last->top <= bottom; ++last) {
        top = std::min(top, last->top);
        bottom = std::max(bottom, last->bottom);
    }
    bands_.insert(bands_.erase(first, last), RowBand{top, bottom});
}

void RowBands::add(const RowBands& other)
{
    if (other.all_) {
        all_ = true;
        bands_.clear();
        return;
    }
    for (const RowBand& band : other.bands_)
        add(band.top, band.bottom);
}

RowBands RowBands::within(int top, int height) const
{
    if (all_)
        return all();
    RowBands placed;
    for (const RowBand& band : bands_) {
        // 64 bits: rows far off the picture must not wrap around into it.
        const long long from = std::max(0LL, static_cast<long long>(band.top) - top);
        const long long to = std::min<long long>(height, static_cast<long long>(band.bottom) - top);
        if (from < to)
            placed.bands_.push_back({static_cast<int>(from), static_cast<int>(to)});
    }
    return placed;
}

RowBands RowBands::joined(int gap) const
{
    if (all_)
        return all();
    RowBands result;
    for (const RowBand& band : bands_) {
        if (!result.bands_.empty() && band.top - result.bands_.back().bottom < gap)
            result.bands_.back().bottom = band.bottom;
        else
            result.bands_.push_back(band);
    }
    return result;
}

long long RowBands::rowCount(int height) const
{
    if (all_)
        return height;
    long long count = 0;
    for (const RowBand& band : bands_)
        count += band.bottom - band.top;
    return count;
}

} // namespace velmora

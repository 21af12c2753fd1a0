#pragma once
// Rows of a picture that may have changed, as the screen reported them: sorted bands of rows
// that neither overlap nor touch, or every row when nobody can tell. The rows outside the bands
// are the promise: whoever passes bands on vouches that those rows are byte for byte what they
// were, so that they need neither be read, compared nor hashed again.

#include <vector>

namespace velmora {

struct RowBand {
    int top = 0;
    int bottom = 0; // one past the band's last row
};

class RowBands {
public:
    // No row at all: nothing changed.
    RowBands() = default;
    // Every row: nothing is known.
    static RowBands all()
    {
        RowBands rows;
        rows.all_ = true;
        return rows;
    }

    bool everything() const { return all_; }
    bool none() const { return !all_ && bands_.empty(); }
    // Empty when every row is meant.
    const std::vector<RowBand>& bands() const { return bands_; }

    // Rows [top, bottom); an empty range adds nothing.
    void add(int top, int bottom);
    void add(const RowBands& other);

    // These rows as rows of a picture whose row 0 is row `top` here and that has `height` rows:
    // moved up by top and cut to the picture.
    RowBands within(int top, int height) const;
    // The same rows with every gap shorter than gap rows filled in: fewer, larger bands.
    RowBands joined(int gap) const;
    // Rows in the bands (of a picture of height rows when every row is meant).
    long long rowCount(int height) const;

private:
    bool all_ = false;
    std::vector<RowBand> bands_;
};

} // namespace velmora

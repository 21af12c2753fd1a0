#pragma once
// Where the first key line of each key above the first group header starts, found by hashing.
// Without it every lookup walks the file from the top: harmless for the few lines the program
// writes, but a hand-made or damaged file of millions of lines would then take seconds per load.
// Slots hold a 32-bit hash and a line offset only (files are far below 4 GiB), so even such a
// file costs a few bytes per distinct key.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora {

class PreferenceKeyIndex {
public:
    PreferenceKeyIndex() = default;
    // Every call gets the same text the index was built from. The index keeps offsets only, so
    // it stays valid when the text's owner moves it elsewhere.
    explicit PreferenceKeyIndex(std::string_view text);

    // Offset of the first key line above the first group header whose key equals key without
    // regard to the case of ASCII letters; npos when there is none.
    std::size_t find(std::string_view text, std::string_view key) const;

private:
    // The key's slot, or the free slot where it belongs.
    std::size_t slotFor(std::string_view text, std::string_view key, std::uint32_t hash) const;
    void grow();

    // Hash in the high half, line offset + 1 in the low half; 0 marks a free slot.
    std::vector<std::uint64_t> slots_ = std::vector<std::uint64_t>(64, 0);
    std::size_t used_ = 0;
};

// Shared by the index and the document: keys match whatever the case of their ASCII letters.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace velmora

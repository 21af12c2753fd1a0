#include "settings/preference_key_index.h"

#include "settings/preference_lines.h"

namespace velmora {
namespace {

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// FNV-1a over the lower-cased key, folded to 32 bits.
std::uint32_t HashIgnoringAsciiCase(std::string_view key)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : key) {
        hash ^= static_cast<unsigned char>(AsciiLower(c));
        hash *= 1099511628211ull;
    }
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::uint32_t HashOf(std::uint64_t slot)
{
    return static_cast<std::uint32_t>(slot >> 32);
}

std::uint32_t OffsetOf(std::uint64_t slot)
{
    return static_cast<std::uint32_t>(slot) - 1;
}

std::string_view KeyAt(std::string_view text, std::uint32_t offset)
{
    PreferenceLineReader reader(text, offset);
    PreferenceLine line;
    reader.next(line);
    return line.name;
}

} // namespace

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (AsciiLower(a[k]) != AsciiLower(b[k]))
            return false;
    }
    return true;
}

PreferenceKeyIndex::PreferenceKeyIndex(std::string_view text)
{
    PreferenceLineReader reader(text);
    PreferenceLine line;
    while (reader.next(line) && line.kind != PreferenceLineKind::Group) {
        if (line.kind != PreferenceLineKind::Key)
            continue;
        const std::uint32_t hash = HashIgnoringAsciiCase(line.name);
        const std::size_t slot = slotFor(text, line.name, hash);
        if (slots_[slot] != 0)
            continue; // a later line of a key already seen is never found
        slots_[slot] = (std::uint64_t{hash} << 32) | (static_cast<std::uint32_t>(line.offset) + 1);
        if (++used_ * 2 > slots_.size())
            grow();
    }
}

std::size_t PreferenceKeyIndex::slotFor(std::string_view text, std::string_view key,
                                        std::uint32_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t entry = slots_[slot];
        if (entry == 0 ||
            (HashOf(entry) == hash && EqualIgnoringAsciiCase(KeyAt(text, OffsetOf(entry)), key)))
            return slot;
    }
}

// Keys are distinct already, so each entry only needs the next free slot from its hash.
void PreferenceKeyIndex::grow()
{
    std::vector<std::uint64_t> old(slots_.size() * 2, 0);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const std::uint64_t entry : old) {
        if (entry == 0)
            continue;
        std::size_t slot = HashOf(entry) & mask;
        while (slots_[slot] != 0)
            slot = (slot + 1) & mask;
        slots_[slot] = entry;
    }
}

std::size_t PreferenceKeyIndex::find(std::string_view text, std::string_view key) const
{
    const std::uint64_t entry = slots_[slotFor(text, key, HashIgnoringAsciiCase(key))];
    return entry == 0 ? std::string_view::npos : OffsetOf(entry);
}

} // namespace velmora

#pragma once
// The line grammar of the preference file: how one line is read as a group header, comment or key
// line, and how each is written back.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

enum class PreferenceLineKind { Group, Comment, Key };

struct PreferenceLine {
    PreferenceLineKind kind = PreferenceLineKind::Key;
    std::string_view name;  // group name, comment text or key
    std::string_view value; // key lines only
    std::size_t offset = 0; // where the entry starts in the text; identifies it
};

// Walks a file's text entry by entry. Any run of CR and LF ends a line, so empty lines (and lines
// of blanks only) yield nothing. Every byte other than CR and LF, NUL included, is ordinary text:
// a stray byte must never end the walk early, or the lines after it would be lost at the next save.
class PreferenceLineReader {
public:
    explicit PreferenceLineReader(std::string_view text) : text_(text) {}
    bool next(PreferenceLine& line);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The written form of an entry, ending in CR LF.
void appendPreferenceLine(std::string& out, PreferenceLineKind kind, std::string_view name,
                          std::string_view value);

} // namespace velmora

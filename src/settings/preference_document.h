#pragma once
// The contents of one preference file in memory: lookups and updates of the keys above the first
// group header, and the text to write back. Everything else in the file (groups, comments, keys
// the program does not know) is carried through unchanged apart from its normalised line form.
//
// The file's own bytes are kept as read and walked from the top on each lookup; only the changed
// and the added entries are held separately. A hostile file then costs about its own size in
// memory instead of an object per line, and since the file is refused beyond
// StoredFile::kMaximumSize, even one of nothing but one-letter lines keeps the few dozen lookups of
// a load or save within a fraction of a second.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class PreferenceDocument {
public:
    PreferenceDocument() = default;
    // fileBytes: the whole file. A file of more than 2 bytes that starts with EF BB BF is in UTF-8
    // mode; its text starts after the mark.
    explicit PreferenceDocument(std::string fileBytes);

    bool modified() const { return modified_; }

    // The value of the first key line above the first group header whose key equals key without
    // regard to the case of ASCII letters, without outer spaces and tabs, as single-byte text.
    // A NUL byte ends the value. Absent key: defaultText unchanged.
    std::string readText(std::string_view key, std::string_view defaultText) const;

    // Replaces the found key's text and value, or adds the key as the last entry before the first
    // group header. Line breaks in key or value are stored as spaces and a NUL byte ends either:
    // a typed text must never be able to add lines (and so keys) of its own to the file.
    void writeText(std::string_view key, std::string_view value);

    // The whole file as it is written back: in UTF-8 mode the mark and an empty line first, then
    // every entry in its written form.
    std::string render() const;

private:
    struct Entry {
        std::string key;
        std::string value;
        std::size_t offset = 0; // of the replaced line in text_; unused for added entries
    };
    // A found key: a line of text_ (possibly replaced since) or one of the added entries.
    struct Match {
        bool found = false;
        bool added = false;
        std::size_t offset = 0; // line in text_
        std::size_t index = 0;  // in added_
        std::string_view value;
    };

    Match find(std::string_view key) const;
    const Entry* replacementAt(std::size_t offset) const;

    std::string text_;
    bool utf8_ = false;
    bool modified_ = false;
    std::vector<Entry> replaced_;
    std::vector<Entry> added_;
};

} // namespace velmora

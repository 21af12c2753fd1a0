#include "settings/preference_document.h"

#include "core/text_trimming.h"
#include "settings/preference_lines.h"
#include "settings/utf8_conversion.h"

namespace velmora {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (asciiLower(a[k]) != asciiLower(b[k]))
            return false;
    }
    return true;
}

std::string_view upToNul(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

std::string oneLine(std::string_view text)
{
    std::string line(upToNul(text));
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return line;
}

} // namespace

PreferenceDocument::PreferenceDocument(std::string fileBytes) : text_(std::move(fileBytes))
{
    if (text_.size() > 2 && std::string_view(text_).substr(0, 3) == kUtf8Mark) {
        utf8_ = true;
        text_.erase(0, 3);
    }
}

const PreferenceDocument::Entry* PreferenceDocument::replacementAt(std::size_t offset) const
{
    for (const Entry& entry : replaced_) {
        if (entry.offset == offset)
            return &entry;
    }
    return nullptr;
}

PreferenceDocument::Match PreferenceDocument::find(std::string_view key) const
{
    Match match;
    PreferenceLineReader reader(text_);
    PreferenceLine line;
    while (reader.next(line) && line.kind != PreferenceLineKind::Group) {
        // A replaced line keeps its key apart from the case of its letters, so the original
        // line decides the match and the replacement supplies the current value.
        if (line.kind == PreferenceLineKind::Key && equalIgnoringAsciiCase(line.name, key)) {
            const Entry* replacement = replacementAt(line.offset);
            match.found = true;
            match.offset = line.offset;
            match.value = replacement ? std::string_view(replacement->value) : line.value;
            return match;
        }
    }
    // Added entries sit after every ungrouped line of the file.
    for (std::size_t k = 0; k < added_.size(); ++k) {
        if (equalIgnoringAsciiCase(added_[k].key, key)) {
            match.found = match.added = true;
            match.index = k;
            match.value = added_[k].value;
            return match;
        }
    }
    return match;
}

std::string PreferenceDocument::readText(std::string_view key, std::string_view defaultText) const
{
    const Match match = find(utf8_ ? singleByteToUtf8(key) : std::string(key));
    if (!match.found)
        return std::string(defaultText);
    const std::string_view value = trimBlanks(upToNul(match.value));
    return utf8_ ? utf8ToSingleByte(value) : std::string(value);
}

void PreferenceDocument::writeText(std::string_view key, std::string_view value)
{
    // Blanks before the value or around the key would be dropped by the next read anyway; storing
    // them would only make the written form differ from what reads back.
    Entry entry{oneLine(key), oneLine(value)};
    entry.key = std::string(trimBlanks(entry.key));
    entry.value.erase(0, entry.value.find_first_not_of(" \t"));
    if (utf8_) {
        entry.key = singleByteToUtf8(entry.key);
        entry.value = singleByteToUtf8(entry.value);
    }
    const Match match = find(entry.key);
    modified_ = true;
    if (!match.found) {
        added_.push_back(std::move(entry));
        return;
    }
    if (match.added) {
        added_[match.index] = std::move(entry);
        return;
    }
    entry.offset = match.offset;
    for (Entry& replaced : replaced_) {
        if (replaced.offset == match.offset) {
            replaced = std::move(entry);
            return;
        }
    }
    replaced_.push_back(std::move(entry));
}

std::string PreferenceDocument::render() const
{
    std::string out;
    out.reserve(text_.size() + 64 * (added_.size() + 1));
    if (utf8_) {
        out += kUtf8Mark;
        out += "\r\n";
    }
    bool addedWritten = false;
    auto writeAdded = [&] {
        for (const Entry& entry : added_)
            appendPreferenceLine(out, PreferenceLineKind::Key, entry.key, entry.value);
        addedWritten = true;
    };
    PreferenceLineReader reader(text_);
    PreferenceLine line;
    while (reader.next(line)) {
        if (line.kind == PreferenceLineKind::Group && !addedWritten)
            writeAdded();
        const Entry* replacement = line.kind == PreferenceLineKind::Key && !addedWritten
                                       ? replacementAt(line.offset)
                                       : nullptr;
        if (replacement)
            appendPreferenceLine(out, line.kind, replacement->key, replacement->value);
        else
            appendPreferenceLine(out, line.kind, line.name, line.value);
    }
    if (!addedWritten)
        writeAdded();
    // A single-byte file whose first key happens to start with the bytes of the UTF-8 mark would
    // be read as UTF-8 next time and lose its other characters; an empty first line prevents that.
    if (!utf8_ && std::string_view(out).substr(0, 3) == kUtf8Mark)
        out.insert(0, "\r\n");
    return out;
}

} // namespace velmora

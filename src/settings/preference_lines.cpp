#include "settings/preference_lines.h"

namespace velmora {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

std::string_view withoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view withoutLeadingBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

PreferenceLine parseLine(std::string_view line, std::size_t offset)
{
    PreferenceLine entry;
    entry.offset = offset;
    if (line.front() == ';') {
        entry.kind = PreferenceLineKind::Comment;
        line.remove_prefix(1);
        if (!line.empty() && line.front() == ' ')
            line.remove_prefix(1);
        entry.name = line;
    } else if (line.front() == '[') {
        entry.kind = PreferenceLineKind::Group;
        line.remove_prefix(1);
        entry.name = line.substr(0, line.find(']'));
    } else {
        entry.kind = PreferenceLineKind::Key;
        const auto equals = line.find('=');
        entry.name = withoutTrailingBlanks(line.substr(0, equals));
        if (equals != std::string_view::npos)
            entry.value = withoutLeadingBlanks(line.substr(equals + 1));
    }
    return entry;
}

} // namespace

bool PreferenceLineReader::next(PreferenceLine& line)
{
    while (pos_ < text_.size()) {
        while (pos_ < text_.size() && (isBlank(text_[pos_]) || isLineEnd(text_[pos_])))
            ++pos_;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isLineEnd(text_[pos_]))
            ++pos_;
        if (pos_ > start) {
            line = parseLine(text_.substr(start, pos_ - start), start);
            return true;
        }
    }
    return false;
}

void appendPreferenceLine(std::string& out, PreferenceLineKind kind, std::string_view name,
                          std::string_view value)
{
    switch (kind) {
    case PreferenceLineKind::Group:
        out += '[';
        out += name;
        out += ']';
        break;
    case PreferenceLineKind::Comment:
        out += "; ";
        out += name;
        break;
    case PreferenceLineKind::Key:
        out += name;
        out += " = ";
        out += value;
        break;
    }
    out += "\r\n";
}

} // namespace velmora

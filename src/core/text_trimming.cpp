#include "core/text_trimming.h"

namespace velmora {
namespace {

std::string_view trimAny(std::string_view text, std::string_view characters)
{
    const auto first = text.find_first_not_of(characters);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(characters);
    return text.substr(first, last - first + 1);
}

} // namespace

std::string_view trimSpaces(std::string_view text)
{
    return trimAny(text, " ");
}

std::string_view trimBlanks(std::string_view text)
{
    return trimAny(text, " \t");
}

} // namespace velmora

#pragma once
// Trimming as the settings use it: the record's texts lose their outer spaces when stored, the
// preference file's values also lose outer tabs.

#include <string_view>

namespace velmora {

std::string_view trimSpaces(std::string_view text); // " " only
std::string_view trimBlanks(std::string_view text); // " " and "\t"

} // namespace velmora

#include "crash/fault_location.h"

#include "crash/dwarf_line_program.h"
#include "crash/elf_sections.h"

#include <exception>
#include <fstream>
#include <iterator>

namespace velmora {

std::optional<SourceLine> sourceLineIn(const std::vector<unsigned char>& elfImage,
                                       std::uint64_t address)
{
    // Whatever is wrong with the file, the locator answers "no line" and never dies of it.
    try {
        const crash::DebugSections sections = crash::findDebugSections(elfImage);
        if (sections.line.begin == nullptr)
            return std::nullopt;
        return crash::sourceLineInLineTables(sections, address);
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<SourceLine> sourceLineOf(const std::string& elfFile, std::uint64_t address)
{
    std::ifstream in(elfFile, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::vector<unsigned char> image{std::istreambuf_iterator<char>(in),
                                           std::istreambuf_iterator<char>()};
    return sourceLineIn(image, address);
}

} // namespace velmora

#include "crash/fault_location.h"

#include "core/local_file.h"
#include "crash/dwarf_line_program.h"
#include "crash/elf_sections.h"

#include <exception>

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
    const std::optional<std::string> bytes = readWholeFile(elfFile);
    if (!bytes)
        return std::nullopt;
    return sourceLineIn(std::vector<unsigned char>(bytes->begin(), bytes->end()), address);
}

} // namespace velmora

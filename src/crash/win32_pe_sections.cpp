#include "crash/win32_pe_sections.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace velmora::crash {
namespace {

std::uint64_t little(const std::vector<unsigned char>& image, std::uint64_t at, unsigned bytes)
{
    if (at > image.size() || bytes > image.size() - at)
        throw std::out_of_range("header outside the file");
    std::uint64_t value = 0;
    for (unsigned i = 0; i < bytes; ++i)
        value |= std::uint64_t{image[at + i]} << (8 * i);
    return value;
}

Section sectionAt(const std::vector<unsigned char>& image, std::uint64_t offset, std::uint64_t size)
{
    if (offset > image.size() || size > image.size() - offset)
        throw std::out_of_range("section outside the file");
    return {image.data() + offset, image.data() + offset + size};
}

constexpr unsigned kCoffHeaderSize = 20;
constexpr unsigned kSectionHeaderSize = 40;
constexpr unsigned kSymbolSize = 18;
constexpr std::uint64_t kPe32 = 0x10B;
constexpr std::uint64_t kPe32Plus = 0x20B;

// A section's name: eight bytes, or "/" and the decimal offset of the whole name in the string
// table that follows the symbol table.
std::string sectionName(const std::vector<unsigned char>& image, std::uint64_t header,
                        std::uint64_t stringTable)
{
    const Section raw = sectionAt(image, header, 8);
    std::string name(reinterpret_cast<const char*>(raw.begin), 8);
    name.resize(std::strlen(name.c_str()));
    if (name.empty() || name.front() != '/' || stringTable == 0)
        return name;
    std::uint64_t offset = 0;
    for (std::size_t i = 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return name;
        offset = offset * 10 + static_cast<std::uint64_t>(name[i] - '0');
    }
    const std::uint64_t at = stringTable + offset;
    if (at >= image.size())
        throw std::out_of_range("section name outside the file");
    const auto* begin = reinterpret_cast<const char*>(image.data() + at);
    const void* end = std::memchr(begin, 0, image.size() - at);
    if (end == nullptr)
        throw std::out_of_range("section name without its end");
    return std::string(begin, static_cast<const char*>(end));
}

} // namespace

PeDebugSections findPeDebugSections(const std::vector<unsigned char>& image)
{
    if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z')
        throw std::runtime_error("not a PE file");
    const std::uint64_t pe = little(image, 0x3C, 4);
    if (little(image, pe, 4) != 0x00004550) // "PE\0\0"
        throw std::runtime_error("not a PE file");
    const std::uint64_t coff = pe + 4;
    const std::uint64_t sectionCount = little(image, coff + 2, 2);
    const std::uint64_t symbolTable = little(image, coff + 8, 4);
    const std::uint64_t symbolCount = little(image, coff + 12, 4);
    const std::uint64_t optionalSize = little(image, coff + 16, 2);
    const std::uint64_t optional = coff + kCoffHeaderSize;

    PeDebugSections found;
    const std::uint64_t magic = little(image, optional, 2);
    if (magic == kPe32Plus)
        found.imageBase = little(image, optional + 24, 8);
    else if (magic == kPe32)
        found.imageBase = little(image, optional + 28, 4);
    else
        throw std::runtime_error("unknown optional header");

    const std::uint64_t stringTable =
        symbolTable != 0 ? symbolTable + symbolCount * kSymbolSize : 0;
    const std::uint64_t table = optional + optionalSize;
    for (std::uint64_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t header = table + i * kSectionHeaderSize;
        const std::string name = sectionName(image, header, stringTable);
        Section* target = nullptr;
        if (name == ".debug_line")
            target = &found.sections.line;
        else if (name == ".debug_line_str")
            target = &found.sections.lineStrings;
        else if (name == ".debug_str")
            target = &found.sections.strings;
        if (target == nullptr)
            continue;
        // The raw size is rounded up to the file alignment; the virtual size is the section's own.
        const std::uint64_t virtualSize = little(image, header + 8, 4);
        const std::uint64_t rawSize = little(image, header + 16, 4);
        const std::uint64_t rawOffset = little(image, header + 20, 4);
        const std::uint64_t size =
            virtualSize != 0 && virtualSize <= rawSize ? virtualSize : rawSize;
        *target = sectionAt(image, rawOffset, size);
    }
    return found;
}

} // namespace velmora::crash

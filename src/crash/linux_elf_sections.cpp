#include "crash/elf_sections.h"

#include <cstring>
#include <elf.h>
#include <stdexcept>

namespace velmora::crash {
namespace {

Section sectionAt(const std::vector<unsigned char>& image, std::uint64_t offset, std::uint64_t size)
{
    if (offset > image.size() || size > image.size() - offset)
        throw std::out_of_range("section outside the file");
    return {image.data() + offset, image.data() + offset + size};
}

} // namespace

DebugSections findDebugSections(const std::vector<unsigned char>& image)
{
    if (image.size() < sizeof(Elf64_Ehdr) || std::memcmp(image.data(), ELFMAG, SELFMAG) != 0 ||
        image[EI_CLASS] != ELFCLASS64 || image[EI_DATA] != ELFDATA2LSB)
        throw std::runtime_error("not a little-endian 64-bit ELF file");
    Elf64_Ehdr header;
    std::memcpy(&header, image.data(), sizeof header);
    if (header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum)
        throw std::runtime_error("no section table");
    const Section table =
        sectionAt(image, header.e_shoff, std::uint64_t{header.e_shnum} * sizeof(Elf64_Shdr));
    // Copied out: nothing says the table is aligned for the structure within the file.
    auto sectionHeader = [&](unsigned index) {
        Elf64_Shdr entry;
        std::memcpy(&entry, table.begin + index * sizeof(Elf64_Shdr), sizeof entry);
        return entry;
    };
    const Elf64_Shdr namesHeader = sectionHeader(header.e_shstrndx);
    const Section names = sectionAt(image, namesHeader.sh_offset, namesHeader.sh_size);

    DebugSections sections;
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr entry = sectionHeader(i);
        if (entry.sh_type == SHT_NOBITS || entry.sh_name >= names.end - names.begin)
            continue;
        const char* name = reinterpret_cast<const char*>(names.begin + entry.sh_name);
        if (std::memchr(name, 0,
                        static_cast<std::size_t>(names.end - names.begin) - entry.sh_name) ==
            nullptr)
            continue;
        Section* target = nullptr;
        if (std::strcmp(name, ".debug_line") == 0)
            target = &sections.line;
        else if (std::strcmp(name, ".debug_line_str") == 0)
            target = &sections.lineStrings;
        else if (std::strcmp(name, ".debug_str") == 0)
            target = &sections.strings;
        if (target == nullptr)
            continue;
        if (entry.sh_flags & SHF_COMPRESSED)
            throw std::runtime_error("compressed debug sections are not read");
        *target = sectionAt(image, entry.sh_offset, entry.sh_size);
    }
    return sections;
}

} // namespace velmora::crash

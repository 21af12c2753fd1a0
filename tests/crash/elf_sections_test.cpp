// Finding the debug sections in ELF files built here byte by byte, and refusing the files whose
// bytes could not be trusted.

#include "crash/elf_sections.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <elf.h>
#include <string>

namespace velmora::crash {
namespace {

using Bytes = std::vector<unsigned char>;

struct NamedSection {
    std::string name;
    Bytes bytes;
    std::uint64_t flags = 0;
};

// Header, section names, section contents, then the table: a null entry, the names, the rest.
Bytes tinyElf(const std::vector<NamedSection>& sections)
{
    Bytes image(sizeof(Elf64_Ehdr));
    std::string names(1, '\0');
    names += ".shstrtab";
    names += '\0';
    std::vector<Elf64_Shdr> table(2);
    table[1].sh_name = 1;
    table[1].sh_type = SHT_STRTAB;
    table[1].sh_offset = image.size();
    table[1].sh_size = 0; // set once every name is in
    for (const NamedSection& section : sections) {
        Elf64_Shdr entry{};
        entry.sh_name = static_cast<Elf64_Word>(names.size());
        entry.sh_type = SHT_PROGBITS;
        entry.sh_flags = section.flags;
        table.push_back(entry);
        names += section.name;
        names += '\0';
    }
    table[1].sh_size = names.size();
    image.insert(image.end(), names.begin(), names.end());
    for (std::size_t i = 0; i < sections.size(); ++i) {
        table[i + 2].sh_offset = image.size();
        table[i + 2].sh_size = sections[i].bytes.size();
        image.insert(image.end(), sections[i].bytes.begin(), sections[i].bytes.end());
    }

    Elf64_Ehdr header{};
    std::memcpy(header.e_ident, ELFMAG, SELFMAG);
    header.e_ident[EI_CLASS] = ELFCLASS64;
    header.e_ident[EI_DATA] = ELFDATA2LSB;
    header.e_ident[EI_VERSION] = EV_CURRENT;
    header.e_ehsize = sizeof(Elf64_Ehdr);
    header.e_shoff = image.size();
    header.e_shentsize = sizeof(Elf64_Shdr);
    header.e_shnum = static_cast<Elf64_Half>(table.size());
    header.e_shstrndx = 1;
    std::memcpy(image.data(), &header, sizeof header);
    const auto* tableBytes = reinterpret_cast<const unsigned char*>(table.data());
    image.insert(image.end(), tableBytes, tableBytes + table.size() * sizeof(Elf64_Shdr));
    return image;
}

Bytes bytesOf(const Section& section)
{
    return {section.begin, section.end};
}

TEST(ElfSectionsTest, DebugSectionsAreFoundByTheirNames)
{
    const Bytes image = tinyElf({{".text", {0x90, 0xC3}},
                                 {".debug_line", {1, 2, 3}},
                                 {".debug_str", {'a', 0}},
                                 {".debug_line_str", {'b', 0}}});
    const DebugSections sections = findDebugSections(image);
    EXPECT_EQ(bytesOf(sections.line), (Bytes{1, 2, 3}));
    EXPECT_EQ(bytesOf(sections.strings), (Bytes{'a', 0}));
    EXPECT_EQ(bytesOf(sections.lineStrings), (Bytes{'b', 0}));
}

TEST(ElfSectionsTest, FileWithoutDebugInformationHasNoLineSection)
{
    const DebugSections sections = findDebugSections(tinyElf({{".text", {0xC3}}}));
    EXPECT_EQ(sections.line.begin, nullptr);
}

TEST(ElfSectionsTest, FilesOfAnotherKindAreRefused)
{
    const Bytes good = tinyElf({{".debug_line", {1}}});
    ASSERT_NO_THROW(findDebugSections(good));

    EXPECT_ANY_THROW(findDebugSections(Bytes(good.begin(), good.begin() + 40)));
    Bytes notElf = good;
    notElf[1] = 'X';
    EXPECT_ANY_THROW(findDebugSections(notElf));
    Bytes thirtyTwoBit = good;
    thirtyTwoBit[EI_CLASS] = ELFCLASS32;
    EXPECT_ANY_THROW(findDebugSections(thirtyTwoBit));
    Bytes bigEndian = good;
    bigEndian[EI_DATA] = ELFDATA2MSB;
    EXPECT_ANY_THROW(findDebugSections(bigEndian));
}

TEST(ElfSectionsTest, TablesAndSectionsReachingPastTheFileAreRefused)
{
    const Bytes good = tinyElf({{".debug_line", {1, 2, 3}}});
    Elf64_Ehdr header;
    std::memcpy(&header, good.data(), sizeof header);

    EXPECT_ANY_THROW(findDebugSections(Bytes(good.begin(), good.end() - 1)));

    Bytes lineTooLong = good;
    Elf64_Shdr line;
    const std::size_t lineAt = header.e_shoff + 2 * sizeof(Elf64_Shdr);
    std::memcpy(&line, lineTooLong.data() + lineAt, sizeof line);
    line.sh_size = ~std::uint64_t{0} - line.sh_offset + 2; // offset plus size wraps around
    std::memcpy(lineTooLong.data() + lineAt, &line, sizeof line);
    EXPECT_ANY_THROW(findDebugSections(lineTooLong));

    Bytes namesIndexOutside = good;
    header.e_shstrndx = header.e_shnum;
    std::memcpy(namesIndexOutside.data(), &header, sizeof header);
    EXPECT_ANY_THROW(findDebugSections(namesIndexOutside));
}

TEST(ElfSectionsTest, CompressedDebugSectionIsRefusedRatherThanReadAsALineTable)
{
    EXPECT_ANY_THROW(findDebugSections(tinyElf({{".debug_line", {1, 2, 3}, SHF_COMPRESSED}})));
}

TEST(ElfSectionsTest, NameWithoutItsEndIsPassedOver)
{
    Bytes image = tinyElf({{".debug_line", {1, 2, 3}}});
    // The last name runs into the section contents once its terminating zero is gone; the names
    // section ends there, so the name is cut off and must not be read past it.
    const std::string lastName = ".debug_line";
    const auto at = std::search(image.begin(), image.end(), lastName.begin(), lastName.end());
    ASSERT_NE(at, image.end());
    *(at + static_cast<std::ptrdiff_t>(lastName.size())) = 'x';
    EXPECT_EQ(findDebugSections(image).line.begin, nullptr);
}

} // namespace
} // namespace velmora::crash

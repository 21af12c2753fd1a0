#pragma once
// The header of one unit of a DWARF line table, versions 2 to 5: the numbers its line program runs
// with and the file names its file numbers stand for.

#include "crash/dwarf_reader.h"
#include "crash/elf_sections.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::crash {

struct FileEntry {
    std::string name;
    std::uint64_t directory = 0;
};

struct LineTableHeader {
    int version = 0;
    int offsetSize = 4; // of section offsets: 8 in a unit of the 64-bit format
    unsigned minimumInstructionLength = 1;
    int lineBase = 0;
    unsigned lineRange = 1;
    unsigned opcodeBase = 1;
    std::vector<unsigned> standardLengths; // operand count of each standard opcode from 1 on
    std::vector<std::string> directories;
    std::vector<FileEntry> files; // indexed as the line program counts: from 1 before version 5
};

// Reads the header that follows the unit's length and leaves the reader at the first opcode of the
// line program. Empty for a unit of another version or one whose program could not be run; throws
// (std::out_of_range, std::runtime_error) when the header is damaged.
std::optional<LineTableHeader> readLineTableHeader(DwarfReader& unit, int offsetSize,
                                                   const DebugSections& sections);

// The name a file number stands for, its folder in front unless the name is absolute or has no
// folder; empty for a number the header does not list.
std::string fileName(const LineTableHeader& header, std::uint64_t index);

} // namespace velmora::crash

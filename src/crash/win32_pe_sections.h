#pragma once
// Where the debug sections the line lookup needs lie in the bytes of a Windows program file (PE):
// mingw-w64 builds keep their DWARF line tables in sections of the usual names, whose names
// beyond eight characters stand in the file's string table. Read in the crash box's own
// process, never in the one that faulted.

#include "crash/elf_sections.h"

#include <cstdint>
#include <vector>

namespace velmora::crash {

struct PeDebugSections {
    DebugSections sections;
    // The address the file was linked for: the line tables count from it, so a fault's link-time
    // address is this plus its offset in the loaded module.
    std::uint64_t imageBase = 0;
};

// Throws std::runtime_error for a file that is no PE file, std::out_of_range for a section that
// reaches past the image.
PeDebugSections findPeDebugSections(const std::vector<unsigned char>& image);

} // namespace velmora::crash

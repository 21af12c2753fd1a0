#pragma once
// Where the debug sections the line lookup needs lie in the bytes of an ELF file.

#include <cstdint>
#include <vector>

namespace velmora::crash {

// Bytes inside the file image; both nullptr for a section the file does not have.
struct Section {
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
};

struct DebugSections {
    Section line;        // .debug_line
    Section lineStrings; // .debug_line_str
    Section strings;     // .debug_str
};

// Only little-endian 64-bit files are read. Throws std::runtime_error for any other file, for one
// without a section table and for compressed debug sections; std::out_of_range for a section
// table or debug section that reaches past the image.
DebugSections findDebugSections(const std::vector<unsigned char>& image);

} // namespace velmora::crash

#pragma once
// Source file and line of a machine address, read from the line table in the DWARF debug
// information of an ELF file. Runs in a helper process, never in the one that faulted.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

struct SourceLine {
    std::string file; // as the line table names it, folders included
    int line = 0;
};

// address is the link-time address (the run-time address minus the load bias). Empty when the
// file cannot be read, has no line table or no row covers the address.
std::optional<SourceLine> sourceLineOf(const std::string& elfFile, std::uint64_t address);
std::optional<SourceLine> sourceLineIn(const std::vector<unsigned char>& elfImage,
                                       std::uint64_t address);

} // namespace velmora

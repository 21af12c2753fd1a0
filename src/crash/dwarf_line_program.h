#pragma once
// The line programs of a DWARF .debug_line section, run until one yields the row that covers an
// address.

#include "crash/elf_sections.h"
#include "crash/fault_location.h"

#include <cstdint>
#include <optional>

namespace velmora::crash {

// Units are searched in the order they stand in; the first row that covers the address and has a
// source line wins. Empty when no row does; throws (std::out_of_range, std::runtime_error) at the
// first damage met on the way.
std::optional<SourceLine> sourceLineInLineTables(const DebugSections& sections,
                                                 std::uint64_t address);

} // namespace velmora::crash

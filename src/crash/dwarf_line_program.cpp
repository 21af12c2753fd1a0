#include "crash/dwarf_line_program.h"

#include "crash/dwarf_line_header.h"
#include "crash/dwarf_reader.h"

namespace velmora::crash {
namespace {

struct Row {
    std::uint64_t address = 0;
    std::uint64_t file = 1;
    std::int64_t line = 1;
};

// Runs one unit's line program; returns the row whose range holds the address.
std::optional<SourceLine> searchProgram(DwarfReader& program, const LineTableHeader& header,
                                        std::uint64_t address)
{
    Row state;
    Row previous;              // last row of the current sequence
    bool havePrevious = false; // false at the start of a sequence
    std::optional<SourceLine> found;

    auto emit = [&](bool endOfSequence) {
        if (havePrevious && previous.address <= address && address < state.address)
            found = SourceLine{fileName(header, previous.file), static_cast<int>(previous.line)};
        havePrevious = !endOfSequence;
        previous = state;
        if (endOfSequence)
            state = Row{};
    };

    while (!program.atEnd() && !found) {
        const unsigned opcode = static_cast<unsigned>(program.fixed(1));
        if (opcode >= header.opcodeBase) {
            const unsigned adjusted = opcode - header.opcodeBase;
            state.address += (adjusted / header.lineRange) * header.minimumInstructionLength;
            state.line += header.lineBase + static_cast<int>(adjusted % header.lineRange);
            emit(false);
            continue;
        }
        switch (opcode) {
        case 0: { // extended
            const std::uint64_t length = program.unsignedLeb();
            if (length == 0)
                break;
            const unsigned char* start = program.position();
            const unsigned sub = static_cast<unsigned>(program.fixed(1));
            if (sub == 1) { // end_sequence
                emit(true);
            } else if (sub == 2 && length - 1 <= 8) { // set_address
                state.address = program.fixed(static_cast<int>(length - 1));
            }
            program.skip(length - static_cast<std::uint64_t>(program.position() - start));
            break;
        }
        case 1:
            emit(false);
            break; // copy
        case 2:
            state.address += program.unsignedLeb() * header.minimumInstructionLength;
            break;
        case 3:
            state.line += program.signedLeb();
            break;
        case 4:
            state.file = program.unsignedLeb();
            break;
        case 5:
            program.unsignedLeb();
            break; // column
        case 6:
        case 7:
        case 10:
        case 11:
            break; // flags only
        case 8:
            state.address +=
                ((255 - header.opcodeBase) / header.lineRange) * header.minimumInstructionLength;
            break;
        case 9:
            state.address += program.fixed(2);
            break;
        default:
            for (unsigned i = 0; i < header.standardLengths[opcode - 1]; ++i)
                program.unsignedLeb();
        }
    }
    return found;
}

} // namespace

std::optional<SourceLine> sourceLineInLineTables(const DebugSections& sections,
                                                 std::uint64_t address)
{
    DwarfReader all(sections.line.begin, sections.line.end);
    while (!all.atEnd()) {
        std::uint64_t length = all.fixed(4);
        int offsetSize = 4;
        if (length == 0xFFFFFFFF) { // the 64-bit format
            length = all.fixed(8);
            offsetSize = 8;
        }
        const unsigned char* unitStart = all.position();
        all.skip(length);
        DwarfReader unit(unitStart, unitStart + length);
        const std::optional<LineTableHeader> header =
            readLineTableHeader(unit, offsetSize, sections);
        if (!header)
            continue;
        const std::optional<SourceLine> found = searchProgram(unit, *header, address);
        // Line 0 marks code that belongs to no source line.
        if (found && found->line > 0)
            return found;
    }
    return std::nullopt;
}

} // namespace velmora::crash

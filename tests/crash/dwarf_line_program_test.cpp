// Line tables assembled here byte by byte: the older header layout (versions 2 to 4), which this
// program's own debug information need not contain, and line programs that end too early.

#include "crash/dwarf_line_program.h"

#include <gtest/gtest.h>

#include <exception>
#include <initializer_list>
#include <string>

namespace velmora::crash {
namespace {

using Bytes = std::vector<unsigned char>;

void append(Bytes& bytes, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void append(Bytes& bytes, std::initializer_list<unsigned char> more)
{
    bytes.insert(bytes.end(), more);
}

void appendText(Bytes& bytes, const std::string& text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
}

// Folder 1 is "src"; file 1 is "main.cpp" in it, file 2 "/abs/other.h".
Bytes lineUnit(int version, const Bytes& program, int offsetSize = 4)
{
    Bytes header;
    append(header, {1}); // minimum instruction length
    if (version >= 4)
        append(header, {1});           // operations per instruction
    append(header, {1, 0xFB, 14, 13}); // default is_stmt, line base -5, line range, opcode base
    append(header, {0, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 1});
    appendText(header, "src");
    append(header, {0});
    appendText(header, "main.cpp");
    append(header, {1, 0, 0});
    appendText(header, "/abs/other.h");
    append(header, {0, 0, 0});
    append(header, {0});

    Bytes body;
    append(body, static_cast<std::uint64_t>(version), 2);
    append(body, header.size(), offsetSize);
    body.insert(body.end(), header.begin(), header.end());
    body.insert(body.end(), program.begin(), program.end());

    Bytes unit;
    if (offsetSize == 8)
        append(unit, 0xFFFFFFFF, 4);
    append(unit, body.size(), offsetSize);
    unit.insert(unit.end(), body.begin(), body.end());
    return unit;
}

// Rows: 0x1000 main.cpp line 10, 0x1010 other.h line 12; the sequence ends at 0x1020. The row
// for 0x1000 is only known to end where the second one starts, with that row's copy opcode.
struct TwoRowProgram {
    Bytes untilSecondRow{0x00, 9,    0x02, 0x00, 0x10, 0, 0, 0, 0, 0, 0, // set_address 0x1000
                         0x03, 9,                                        // advance_line to 10
                         0x01,                                           // copy
                         0x02, 0x10,                                     // advance_pc 16
                         0x04, 2,                                        // set_file 2
                         0x03, 2};                                       // advance_line to 12
    Bytes rest{0x01,                                                     // copy
               0x02, 0x10,                                               // advance_pc 16
               0x00, 1,    0x01};                                        // end_sequence

    Bytes whole() const
    {
        Bytes bytes = untilSecondRow;
        bytes.insert(bytes.end(), rest.begin(), rest.end());
        return bytes;
    }
};

std::optional<SourceLine> lineIn(const Bytes& lineSection, std::uint64_t address)
{
    DebugSections sections;
    sections.line = {lineSection.data(), lineSection.data() + lineSection.size()};
    return sourceLineInLineTables(sections, address);
}

// What the locator makes of it: a refusal is no line.
std::optional<SourceLine> lineOrNone(const Bytes& lineSection, std::uint64_t address)
{
    try {
        return lineIn(lineSection, address);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

TEST(DwarfLineProgramTest, OlderHeadersNameTheFileThroughItsFolder)
{
    for (int version : {2, 3, 4}) {
        SCOPED_TRACE(version);
        const Bytes section = lineUnit(version, TwoRowProgram{}.whole());
        const auto first = lineIn(section, 0x1008);
        ASSERT_TRUE(first.has_value());
        EXPECT_EQ(first->file, "src/main.cpp");
        EXPECT_EQ(first->line, 10);
        const auto second = lineIn(section, 0x101F);
        ASSERT_TRUE(second.has_value());
        EXPECT_EQ(second->file, "/abs/other.h");
        EXPECT_EQ(second->line, 12);
    }
}

TEST(DwarfLineProgramTest, AddressesOutsideTheSequenceHaveNoLine)
{
    const Bytes section = lineUnit(4, TwoRowProgram{}.whole());
    EXPECT_FALSE(lineIn(section, 0x0FFF).has_value());
    EXPECT_FALSE(lineIn(section, 0x1020).has_value());
}

TEST(DwarfLineProgramTest, UnitOfThe64BitFormatIsRead)
{
    const auto found = lineIn(lineUnit(4, TwoRowProgram{}.whole(), 8), 0x1008);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->line, 10);
}

TEST(DwarfLineProgramTest, LineZeroAndUnknownVersionsLeaveTheSearchToTheNextUnit)
{
    // Line 0 over the whole range: code the compiler could give no source line.
    const Bytes noLine{0x00, 9,    0x02, 0x00, 0x10, 0, 0, 0, 0, 0, 0, // set_address 0x1000
                       0x03, 0x7F,                                     // advance_line to 0
                       0x01,                                           // copy
                       0x02, 0x20,                                     // advance_pc 32
                       0x00, 1,    0x01};                              // end_sequence
    Bytes section = lineUnit(4, noLine);
    const Bytes unknownVersion = lineUnit(6, TwoRowProgram{}.whole());
    section.insert(section.end(), unknownVersion.begin(), unknownVersion.end());
    ASSERT_FALSE(lineIn(section, 0x1008).has_value());

    const Bytes known = lineUnit(3, TwoRowProgram{}.whole());
    section.insert(section.end(), known.begin(), known.end());
    const auto found = lineIn(section, 0x1008);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->line, 10);
}

TEST(DwarfLineProgramTest, ProgramThatEndsTooEarlyGivesNoLine)
{
    const TwoRowProgram program;
    // Each cut in a vector of its own size, so that a sanitizer build sees any read past it.
    for (std::size_t cut = 0; cut <= program.untilSecondRow.size(); ++cut) {
        SCOPED_TRACE(cut);
        const Bytes section =
            lineUnit(4, Bytes(program.untilSecondRow.begin(),
                              program.untilSecondRow.begin() + static_cast<std::ptrdiff_t>(cut)));
        EXPECT_FALSE(lineOrNone(section, 0x1008).has_value());
    }
}

TEST(DwarfLineProgramTest, UnitsLongerThanTheirSectionAreRefused)
{
    const Bytes whole = lineUnit(4, TwoRowProgram{}.whole());
    EXPECT_ANY_THROW(lineIn(Bytes(whole.begin(), whole.end() - 1), 0x1008));

    // The header claims to run on past the end of its unit.
    Bytes longHeader = whole;
    longHeader[6] = 0xFF;
    longHeader[7] = 0xFF;
    EXPECT_ANY_THROW(lineIn(longHeader, 0x1008));
}

} // namespace
} // namespace velmora::crash

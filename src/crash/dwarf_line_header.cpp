#include "crash/dwarf_line_header.h"

#include <stdexcept>

namespace velmora::crash {
namespace {

// DWARF forms that occur in version 5 line table headers.
enum Form : std::uint64_t {
    kFormBlock2 = 0x03,
    kFormBlock4 = 0x04,
    kFormData2 = 0x05,
    kFormData4 = 0x06,
    kFormData8 = 0x07,
    kFormString = 0x08,
    kFormBlock = 0x09,
    kFormBlock1 = 0x0a,
    kFormData1 = 0x0b,
    kFormStrp = 0x0e,
    kFormUdata = 0x0f,
    kFormData16 = 0x1e,
    kFormLineStrp = 0x1f,
};
constexpr std::uint64_t kContentPath = 1;
constexpr std::uint64_t kContentDirectory = 2;

std::string stringAt(const Section& section, std::uint64_t offset)
{
    if (section.begin == nullptr ||
        offset >= static_cast<std::uint64_t>(section.end - section.begin))
        throw std::out_of_range("string offset outside its section");
    DwarfReader reader(section.begin + offset, section.end);
    return reader.cString();
}

struct EntryValue {
    std::string text;
    std::uint64_t number = 0;
};

EntryValue readForm(DwarfReader& reader, std::uint64_t form, int offsetSize,
                    const DebugSections& sections)
{
    EntryValue value;
    switch (form) {
    case kFormString:
        value.text = reader.cString();
        break;
    case kFormLineStrp:
        value.text = stringAt(sections.lineStrings, reader.fixed(offsetSize));
        break;
    case kFormStrp:
        value.text = stringAt(sections.strings, reader.fixed(offsetSize));
        break;
    case kFormUdata:
        value.number = reader.unsignedLeb();
        break;
    case kFormData1:
        value.number = reader.fixed(1);
        break;
    case kFormData2:
        value.number = reader.fixed(2);
        break;
    case kFormData4:
        value.number = reader.fixed(4);
        break;
    case kFormData8:
        value.number = reader.fixed(8);
        break;
    case kFormData16:
        reader.skip(16);
        break;
    case kFormBlock:
        reader.skip(reader.unsignedLeb());
        break;
    case kFormBlock1:
        reader.skip(reader.fixed(1));
        break;
    case kFormBlock2:
        reader.skip(reader.fixed(2));
        break;
    case kFormBlock4:
        reader.skip(reader.fixed(4));
        break;
    default:
        throw std::runtime_error("unexpected form in a line table header");
    }
    return value;
}

std::vector<std::vector<EntryValue>> readEntryTable(DwarfReader& reader,
                                                    const LineTableHeader& header,
                                                    const DebugSections& sections,
                                                    std::vector<std::uint64_t>& contents)
{
    const std::uint64_t formatCount = reader.fixed(1);
    std::vector<std::uint64_t> forms;
    for (std::uint64_t i = 0; i < formatCount; ++i) {
        contents.push_back(reader.unsignedLeb());
        forms.push_back(reader.unsignedLeb());
    }
    const std::uint64_t count = reader.unsignedLeb();
    std::vector<std::vector<EntryValue>> entries;
    // Entries without fields take no room: a damaged count could otherwise never end.
    if (forms.empty())
        return entries;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::vector<EntryValue> values;
        for (std::uint64_t form : forms)
            values.push_back(readForm(reader, form, header.offsetSize, sections));
        entries.push_back(std::move(values));
    }
    return entries;
}

void readVersion5Names(DwarfReader& reader, LineTableHeader& header, const DebugSections& sections)
{
    std::vector<std::uint64_t> contents;
    for (const auto& values : readEntryTable(reader, header, sections, contents)) {
        std::string name;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (contents[i] == kContentPath)
                name = values[i].text;
        }
        header.directories.push_back(name);
    }
    contents.clear();
    for (const auto& values : readEntryTable(reader, header, sections, contents)) {
        FileEntry file;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (contents[i] == kContentPath)
                file.name = values[i].text;
            else if (contents[i] == kContentDirectory)
                file.directory = values[i].number;
        }
        header.files.push_back(file);
    }
}

void readOlderNames(DwarfReader& reader, LineTableHeader& header)
{
    header.directories.emplace_back(); // index 0: the compilation folder, not named here
    for (std::string name = reader.cString(); !name.empty(); name = reader.cString())
        header.directories.push_back(name);
    header.files.emplace_back(); // file numbers start at 1
    for (std::string name = reader.cString(); !name.empty(); name = reader.cString()) {
        FileEntry file{name, reader.unsignedLeb()};
        reader.unsignedLeb(); // modification time
        reader.unsignedLeb(); // length
        header.files.push_back(file);
    }
}

} // namespace

std::optional<LineTableHeader> readLineTableHeader(DwarfReader& unit, int offsetSize,
                                                   const DebugSections& sections)
{
    LineTableHeader header;
    header.offsetSize = offsetSize;
    header.version = static_cast<int>(unit.fixed(2));
    if (header.version < 2 || header.version > 5)
        return std::nullopt;
    if (header.version >= 5) {
        unit.fixed(1); // address size: set_address carries its own length
        unit.fixed(1); // segment selector size
    }
    const std::uint64_t headerLength = unit.fixed(header.offsetSize);
    if (headerLength > unit.remaining())
        throw std::out_of_range("line table header longer than its unit");
    const unsigned char* programStart = unit.position() + headerLength;
    header.minimumInstructionLength = static_cast<unsigned>(unit.fixed(1));
    if (header.version >= 4)
        unit.fixed(1); // maximum operations per instruction: one on this machine
    unit.fixed(1);     // default is_stmt
    header.lineBase = static_cast<signed char>(unit.fixed(1));
    header.lineRange = static_cast<unsigned>(unit.fixed(1));
    header.opcodeBase = static_cast<unsigned>(unit.fixed(1));
    if (header.lineRange == 0 || header.opcodeBase == 0)
        return std::nullopt;
    for (unsigned i = 1; i < header.opcodeBase; ++i)
        header.standardLengths.push_back(static_cast<unsigned>(unit.fixed(1)));
    if (header.version >= 5)
        readVersion5Names(unit, header, sections);
    else
        readOlderNames(unit, header);
    if (unit.position() > programStart)
        throw std::out_of_range("file names reach past the line table header");
    unit.skip(static_cast<std::uint64_t>(programStart - unit.position()));
    return header;
}

std::string fileName(const LineTableHeader& header, std::uint64_t index)
{
    if (index >= header.files.size())
        return {};
    const FileEntry& file = header.files[index];
    if (file.name.empty() || file.name.front() == '/' ||
        file.directory >= header.directories.size() || header.directories[file.directory].empty())
        return file.name;
    return header.directories[file.directory] + "/" + file.name;
}

} // namespace velmora::crash

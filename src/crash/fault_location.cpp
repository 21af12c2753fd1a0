#include "crash/fault_location.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace velmora {
namespace {

// Every read is checked against the end of its area: a damaged or foreign file must give "no
// line", never a crash of the helper.
class Reader {
public:
    Reader(const unsigned char* begin, const unsigned char* end) : at_(begin), end_(end) {}

    bool atEnd() const { return at_ >= end_; }
    const unsigned char* position() const { return at_; }

    void skip(std::uint64_t count)
    {
        need(count);
        at_ += count;
    }
    std::uint64_t fixed(int bytes)
    {
        need(static_cast<std::uint64_t>(bytes));
        std::uint64_t value = 0;
        for (int i = bytes - 1; i >= 0; --i)
            value = (value << 8) | at_[i];
        at_ += bytes;
        return value;
    }
    std::uint64_t unsignedLeb()
    {
        std::uint64_t value = 0;
        for (int shift = 0;; shift += 7) {
            need(1);
            const unsigned char byte = *at_++;
            if (shift < 64)
                value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0)
                return value;
        }
    }
    std::int64_t signedLeb()
    {
        std::uint64_t value = 0;
        int shift = 0;
        unsigned char byte = 0;
        do {
            need(1);
            byte = *at_++;
            if (shift < 64)
                value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            shift += 7;
        } while (byte & 0x80);
        if (shift < 64 && (byte & 0x40))
            value |= ~std::uint64_t{0} << shift;
        return static_cast<std::int64_t>(value);
    }
    std::string cString()
    {
        const void* zero = std::memchr(at_, 0, static_cast<std::size_t>(end_ - at_));
        if (zero == nullptr)
            throw std::out_of_range("unterminated string");
        std::string text(reinterpret_cast<const char*>(at_));
        at_ = static_cast<const unsigned char*>(zero) + 1;
        return text;
    }

private:
    void need(std::uint64_t count) const
    {
        if (count > static_cast<std::uint64_t>(end_ - at_))
            throw std::out_of_range("past the end of a debug section");
    }
    const unsigned char* at_;
    const unsigned char* end_;
};

struct Section {
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
};

struct DebugSections {
    Section line;
    Section lineStrings; // .debug_line_str
    Section strings;     // .debug_str
};

Section sectionAt(const std::vector<unsigned char>& image, std::uint64_t offset, std::uint64_t size)
{
    if (offset > image.size() || size > image.size() - offset)
        throw std::out_of_range("section outside the file");
    return {image.data() + offset, image.data() + offset + size};
}

DebugSections findSections(const std::vector<unsigned char>& image)
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

std::string stringAt(const Section& section, std::uint64_t offset)
{
    if (section.begin == nullptr ||
        offset >= static_cast<std::uint64_t>(section.end - section.begin))
        throw std::out_of_range("string offset outside its section");
    Reader reader(section.begin + offset, section.end);
    return reader.cString();
}

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

struct EntryValue {
    std::string text;
    std::uint64_t number = 0;
};

EntryValue readForm(Reader& reader, std::uint64_t form, int offsetSize,
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

struct FileEntry {
    std::string name;
    std::uint64_t directory = 0;
};

struct LineTableHeader {
    int version = 0;
    int offsetSize = 4;
    int addressSize = 8;
    unsigned minimumInstructionLength = 1;
    int lineBase = 0;
    unsigned lineRange = 1;
    unsigned opcodeBase = 1;
    std::vector<unsigned> standardLengths;
    std::vector<std::string> directories;
    std::vector<FileEntry> files; // indexed as the line program counts: from 1 before version 5
};

std::vector<std::vector<EntryValue>> readEntryTable(Reader& reader, const LineTableHeader& header,
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

void readVersion5Names(Reader& reader, LineTableHeader& header, const DebugSections& sections)
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

void readOlderNames(Reader& reader, LineTableHeader& header)
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

struct Row {
    std::uint64_t address = 0;
    std::uint64_t file = 1;
    std::int64_t line = 1;
};

// Runs one unit's line program; returns the row whose range holds the address.
std::optional<SourceLine> searchProgram(Reader& program, const LineTableHeader& header,
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

std::optional<SourceLine> searchUnit(Reader& unit, int offsetSize, const DebugSections& sections,
                                     std::uint64_t address)
{
    LineTableHeader header;
    header.offsetSize = offsetSize;
    header.version = static_cast<int>(unit.fixed(2));
    if (header.version < 2 || header.version > 5)
        return std::nullopt;
    if (header.version >= 5) {
        header.addressSize = static_cast<int>(unit.fixed(1));
        unit.fixed(1); // segment selector size
    }
    const std::uint64_t headerLength = unit.fixed(header.offsetSize);
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
    unit.skip(static_cast<std::uint64_t>(programStart - unit.position()));
    return searchProgram(unit, header, address);
}

} // namespace

std::optional<SourceLine> sourceLineIn(const std::vector<unsigned char>& elfImage,
                                       std::uint64_t address)
{
    try {
        const DebugSections sections = findSections(elfImage);
        if (sections.line.begin == nullptr)
            return std::nullopt;
        Reader all(sections.line.begin, sections.line.end);
        while (!all.atEnd()) {
            std::uint64_t length = all.fixed(4);
            int offsetSize = 4;
            if (length == 0xFFFFFFFF) {
                length = all.fixed(8);
                offsetSize = 8;
            }
            const unsigned char* unitStart = all.position();
            all.skip(length);
            Reader unit(unitStart, unitStart + length);
            const std::optional<SourceLine> found = searchUnit(unit, offsetSize, sections, address);
            // Line 0 marks code that belongs to no source line.
            if (found && found->line > 0)
                return found;
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<SourceLine> sourceLineOf(const std::string& elfFile, std::uint64_t address)
{
    std::ifstream in(elfFile, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::vector<unsigned char> image{std::istreambuf_iterator<char>(in),
                                           std::istreambuf_iterator<char>()};
    return sourceLineIn(image, address);
}

} // namespace velmora

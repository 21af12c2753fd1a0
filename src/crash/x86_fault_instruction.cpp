#include "crash/x86_fault_instruction.h"

namespace velmora::crash {
namespace {

// The longest legal x86 instruction.
constexpr int kMaximumLength = 15;

struct Prefixes {
    int length = 0;
    bool operandSize = false; // 0x66
    bool addressSize = false; // 0x67
    bool segment = false;     // fs or gs: their base is not in the saved registers
    unsigned rex = 0;
};

Prefixes readPrefixes(const unsigned char* code)
{
    Prefixes prefixes;
    while (prefixes.length < kMaximumLength) {
        const unsigned char byte = code[prefixes.length];
        if (byte == 0x66)
            prefixes.operandSize = true;
        else if (byte == 0x67)
            prefixes.addressSize = true;
        else if (byte == 0x64 || byte == 0x65)
            prefixes.segment = true;
        else if (byte != 0xF0 && byte != 0xF2 && byte != 0xF3 && byte != 0x2E && byte != 0x36 &&
                 byte != 0x3E && byte != 0x26)
            break;
        ++prefixes.length;
    }
    // REX must come last, right before the opcode.
    if ((code[prefixes.length] & 0xF0) == 0x40) {
        prefixes.rex = code[prefixes.length];
        ++prefixes.length;
    }
    return prefixes;
}

std::int64_t signedBytes(const unsigned char* bytes, int count)
{
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    const int unused = 64 - 8 * count;
    return static_cast<std::int64_t>(value << unused) >> unused;
}

std::uint64_t withoutUpperBits(std::uint64_t value, int bytes)
{
    return bytes >= 8 ? value : value & ((std::uint64_t{1} << (8 * bytes)) - 1);
}

} // namespace

bool isPrivilegedInstruction(const unsigned char* code)
{
    const Prefixes prefixes = readPrefixes(code);
    const unsigned char* opcode = code + prefixes.length;
    switch (opcode[0]) {
    case 0xF4: // hlt
    case 0xFA: // cli
    case 0xFB: // sti
    case 0xE4:
    case 0xE5:
    case 0xE6:
    case 0xE7: // in, out with an immediate port
    case 0xEC:
    case 0xED:
    case 0xEE:
    case 0xEF: // in, out through dx
    case 0x6C:
    case 0x6D:
    case 0x6E:
    case 0x6F: // ins, outs
        return true;
    case 0x0F:
        break;
    default:
        return false;
    }
    const unsigned char second = opcode[1];
    if (second == 0x06 || second == 0x07 || second == 0x08 || second == 0x09 || second == 0x30 ||
        second == 0x32 || second == 0x35 || (second >= 0x20 && second <= 0x23))
        return true; // clts, sysret, invd, wbinvd, wrmsr, rdmsr, sysexit, mov to/from cr and dr
    const unsigned mod = opcode[2] >> 6;
    const unsigned reg = (opcode[2] >> 3) & 7;
    if (second == 0x00) // lldt, ltr
        return reg == 2 || reg == 3;
    if (second == 0x01) // lgdt, lidt, lmsw, invlpg; the register forms of /2 /3 /7 are not
        return (mod != 3 && (reg == 2 || reg == 3 || reg == 6 || reg == 7)) ||
               (mod == 3 && reg == 6);
    return false;
}

DivisorState divisorOf(const unsigned char* code, const X86Registers& registers)
{
    const Prefixes prefixes = readPrefixes(code);
    const unsigned char* opcode = code + prefixes.length;
    if (opcode[0] != 0xF6 && opcode[0] != 0xF7)
        return DivisorState::Unknown;
    const unsigned char modrm = opcode[1];
    const unsigned mod = modrm >> 6;
    const unsigned reg = (modrm >> 3) & 7;
    const unsigned rm = modrm & 7;
    if (reg != 6 && reg != 7) // not div or idiv
        return DivisorState::Unknown;

    int size = 4;
    if (opcode[0] == 0xF6)
        size = 1;
    else if (prefixes.rex & 0x08)
        size = 8;
    else if (prefixes.operandSize)
        size = 2;

    std::uint64_t divisor = 0;
    if (mod == 3) {
        const unsigned index = rm | ((prefixes.rex & 0x01) << 3);
        if (size == 1 && prefixes.rex == 0 && rm >= 4)
            divisor = (registers.general[rm - 4] >> 8) & 0xFF; // ah, ch, dh, bh
        else
            divisor = registers.general[index];
    } else {
        if (prefixes.segment)
            return DivisorState::Unknown;
        const unsigned char* next = opcode + 2;
        std::uint64_t address = 0;
        bool ripRelative = false;
        if (rm == 4) {
            const unsigned char sib = *next++;
            const unsigned scale = sib >> 6;
            const unsigned index = ((sib >> 3) & 7) | ((prefixes.rex & 0x02) << 2);
            const unsigned base = (sib & 7) | ((prefixes.rex & 0x01) << 3);
            if (index != 4)
                address += registers.general[index] << scale;
            if ((sib & 7) == 5 && mod == 0) {
                address += static_cast<std::uint64_t>(signedBytes(next, 4));
                next += 4;
            } else {
                address += registers.general[base];
            }
        } else if (rm == 5 && mod == 0) {
            ripRelative = true;
        } else {
            address += registers.general[rm | ((prefixes.rex & 0x01) << 3)];
        }
        if (mod == 1) {
            address += static_cast<std::uint64_t>(signedBytes(next, 1));
            next += 1;
        } else if (mod == 2 || ripRelative) {
            address += static_cast<std::uint64_t>(signedBytes(next, 4));
            next += 4;
        }
        if (ripRelative) // relative to the end of the instruction, which has no immediate
            address += registers.instruction + static_cast<std::uint64_t>(next - code);
        if (prefixes.addressSize)
            address &= 0xFFFFFFFF;
        // The processor read this operand just before it faulted, so it is readable.
        const volatile unsigned char* operand =
            reinterpret_cast<const volatile unsigned char*>(address);
        for (int i = size - 1; i >= 0; --i)
            divisor = (divisor << 8) | operand[i];
    }
    return withoutUpperBits(divisor, size) == 0 ? DivisorState::Zero : DivisorState::NonZero;
}

} // namespace velmora::crash

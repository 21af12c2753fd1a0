#pragma once
// The encodings DWARF is written in (little-endian fixed sizes, LEB128, zero-terminated strings),
// read from one bounded area of a debug section.

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace velmora::crash {

// Every read is checked against the end of its area and throws std::out_of_range past it: a
// damaged or foreign file must give "no line", never a crash of the locator.
class DwarfReader {
public:
    DwarfReader(const unsigned char* begin, const unsigned char* end) : at_(begin), end_(end) {}

    bool atEnd() const { return at_ >= end_; }
    const unsigned char* position() const { return at_; }
    std::uint64_t remaining() const { return static_cast<std::uint64_t>(end_ - at_); }

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
        if (count > remaining())
            throw std::out_of_range("past the end of a debug section");
    }
    const unsigned char* at_;
    const unsigned char* end_;
};

} // namespace velmora::crash

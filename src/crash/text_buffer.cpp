#include "crash/text_buffer.h"

namespace velmora {

TextBuffer::TextBuffer(char* storage, std::size_t capacity) : storage_(storage), capacity_(capacity)
{
    if (capacity_ > 0)
        storage_[0] = '\0';
}

void TextBuffer::append(const char* text)
{
    std::size_t length = 0;
    while (text[length] != '\0')
        ++length;
    append(text, length);
}

void TextBuffer::append(const char* text, std::size_t length)
{
    if (capacity_ == 0)
        return;
    for (std::size_t i = 0; i < length; ++i) {
        if (size_ + 1 >= capacity_) {
            truncated_ = true;
            break;
        }
        storage_[size_++] = text[i];
    }
    storage_[size_] = '\0';
}

void TextBuffer::appendDecimal(std::int64_t value)
{
    // Built from the unsigned magnitude so that the most negative value prints correctly.
    std::uint64_t magnitude =
        value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    char digits[24];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        append("-", 1);
    while (count > 0)
        append(&digits[--count], 1);
}

void TextBuffer::appendHexadecimal(std::uint64_t value)
{
    char digits[16];
    std::size_t count = 0;
    do {
        digits[count++] = "0123456789abcdef"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (count > 0)
        append(&digits[--count], 1);
}

} // namespace velmora

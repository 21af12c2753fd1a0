#pragma once
// Text assembled inside a signal handler: no allocation, no locale, no stdio. The bytes live in
// storage the caller owns; what does not fit is cut off, and the text always stays terminated.

#include <cstddef>
#include <cstdint>

namespace velmora {

class TextBuffer {
public:
    TextBuffer(char* storage, std::size_t capacity);
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    void append(const char* text);
    void append(const char* text, std::size_t length);
    void appendDecimal(std::int64_t value);
    void appendHexadecimal(std::uint64_t value); // lower case, no prefix

    const char* data() const { return storage_; }
    std::size_t size() const { return size_; }
    bool truncated() const { return truncated_; }

private:
    char* storage_;
    std::size_t capacity_; // including the terminating zero
    std::size_t size_ = 0;
    bool truncated_ = false;
};

} // namespace velmora

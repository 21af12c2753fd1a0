#pragma once
// A text that one thread replaces while another reads it: always handed over whole, under a lock,
// so a reader never sees half of an old and half of a new value.

#include <mutex>
#include <string>

namespace velmora {

class SharedText {
public:
    std::string get() const
    {
        std::lock_guard lock(mutex_);
        return text_;
    }
    void set(std::string text)
    {
        std::lock_guard lock(mutex_);
        text_.swap(text);
    }

private:
    mutable std::mutex mutex_;
    std::string text_;
};

} // namespace velmora

#pragma once
// A library loaded at run time, released when the object goes. The platform's loader lives in
// posix_dynamic_library.cpp.

#include <memory>
#include <string>

namespace velmora {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    // A path with a "/" loads that file; a bare file name goes through the system's search.
    static DynamicLibrary open(const std::string& pathOrName);

    bool loaded() const { return handle_ != nullptr; }
    // The entry point of that exact name, or nullptr.
    void* symbol(const char* name) const;
    void close() { handle_.reset(); }

private:
    struct Closer {
        void operator()(void* handle) const;
    };
    std::unique_ptr<void, Closer> handle_;
};

} // namespace velmora

#include "capture/dynamic_library.h"

#include <windows.h>

#include <cstring>

namespace velmora {

DynamicLibrary DynamicLibrary::open(const std::string& pathOrName)
{
    DynamicLibrary library;
    // No "DLL not found" box from Windows: a missing library is the caller's to report.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // A path loads that file, and the libraries it needs from beside it; a bare file name goes
    // through the system's search, which starts in the program's folder.
    const bool isPath = pathOrName.find_first_of("/\\") != std::string::npos;
    library.handle_.reset(
        isPath ? ::LoadLibraryExA(pathOrName.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)
               : ::LoadLibraryA(pathOrName.c_str()));
    ::SetErrorMode(oldMode);
    return library;
}

void* DynamicLibrary::symbol(const char* name) const
{
    if (!handle_)
        return nullptr;
    const FARPROC entry = ::GetProcAddress(static_cast<HMODULE>(handle_.get()), name);
    // A function address handed on as the void* the interface speaks; the caller casts it back
    // to the entry point's own type.
    void* address = nullptr;
    static_assert(sizeof address == sizeof entry);
    std::memcpy(&address, &entry, sizeof address);
    return address;
}

void DynamicLibrary::Closer::operator()(void* handle) const
{
    ::FreeLibrary(static_cast<HMODULE>(handle));
}

} // namespace velmora

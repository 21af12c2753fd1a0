#include "capture/dynamic_library.h"

#include <dlfcn.h>

namespace velmora {

DynamicLibrary DynamicLibrary::open(const std::string& pathOrName)
{
    DynamicLibrary library;
    library.handle_.reset(dlopen(pathOrName.c_str(), RTLD_NOW | RTLD_LOCAL));
    return library;
}

void* DynamicLibrary::symbol(const char* name) const
{
    return handle_ ? dlsym(handle_.get(), name) : nullptr;
}

void DynamicLibrary::Closer::operator()(void* handle) const
{
    dlclose(handle);
}

} // namespace velmora

#include "app/working_files.h"

#include <cstdio>

namespace velmora {

void deleteWorkingFiles(const std::string& tempFolder)
{
    for (const char* name : kWorkingFiles)
        std::remove((tempFolder + name).c_str());
}

} // namespace velmora

// A stand-in for the image library that records what the program asks of it. Built twice: with
// every entry point the program uses, and without FreeImage_Load.

#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {
std::string calls;

void record(const std::string& call)
{
    calls += call;
    calls += ';';
}

bool exists(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0;
}

char markers[8]; // handle n is the address of markers[n]
} // namespace

extern "C" {

const char* standInCalls()
{
    return calls.c_str();
}

void FreeImage_Initialise(int loadLocalPluginsOnly)
{
    record("Initialise(" + std::to_string(loadLocalPluginsOnly) + ")");
}

void FreeImage_DeInitialise()
{
    record("DeInitialise");
}

#ifndef STAND_IN_WITHOUT_LOAD
void* FreeImage_Load(int format, const char* path, int flags)
{
    record("Load(" + std::to_string(format) + "," + (exists(path) ? "file" : "nofile") + "," +
           std::to_string(flags) + ")");
    return &markers[1];
}
#endif

static int handleNumber(void* handle)
{
    return handle ? static_cast<int>(static_cast<char*>(handle) - markers) : 0;
}

void* FreeImage_Rescale(void* picture, int width, int height, int filter)
{
    record("Rescale(" + std::to_string(handleNumber(picture)) + "," + std::to_string(width) + "," +
           std::to_string(height) + "," + std::to_string(filter) + ")");
    return &markers[2];
}

void* FreeImage_ColorQuantize(void* picture, int quantizer)
{
    record("ColorQuantize(" + std::to_string(handleNumber(picture)) + "," +
           std::to_string(quantizer) + ")");
    return &markers[handleNumber(picture) + 1];
}

int FreeImage_Save(int format, void* picture, const char* path, int flags)
{
    record("Save(" + std::to_string(format) + "," + std::to_string(handleNumber(picture)) + "," +
           (exists(path) ? "file" : "nofile") + "," + std::to_string(flags) + ")");
    return 1;
}

void FreeImage_Unload(void* picture)
{
    record("Unload(" + std::to_string(handleNumber(picture)) + ")");
}
}

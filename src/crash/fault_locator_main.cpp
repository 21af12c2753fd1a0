// velmora-fault-locator FILE ADDRESS
// Prints the source file name and line of ADDRESS (hexadecimal, link-time) in the ELF FILE as
// "name<TAB>line<LF>", or nothing and exit code 1 when the file has no line for it. The crash
// reporter runs it: reading debug information needs memory and files, which the faulting
// process can no longer be trusted with.

#include "crash/fault_location.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    char* end = nullptr;
    const unsigned long long address = std::strtoull(argv[2], &end, 16);
    if (end == argv[2] || *end != '\0')
        return 2;
    const auto found = velmora::sourceLineOf(argv[1], address);
    if (!found)
        return 1;
    std::string name = found->file.substr(found->file.rfind('/') + 1);
    // The name ends up in a report line: nothing there may break the line.
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    std::printf("%s\t%d\n", name.c_str(), found->line);
    return 0;
}

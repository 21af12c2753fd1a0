#pragma once
// Runs a program to its end, as a shell loop would: found on PATH, output discarded.

#include <string>
#include <vector>

namespace velmora::bench {

// True when the program ran and exited with 0.
bool runCommand(const std::vector<std::string>& argv);

// True when a program of that name is found on PATH.
bool commandExists(const std::string& name);

// True when every program is there (a name with a "/" as that file, others on PATH); otherwise
// says on standard error which one is missing, with the hint where to get it.
bool commandsPresent(const std::vector<std::string>& names, const std::string& hint);

} // namespace velmora::bench

#pragma once
// Runs a program to its end, as a shell loop would: found on PATH, output discarded.

#include <string>
#include <vector>

namespace velmora::bench {

// True when the program ran and exited with 0.
bool runCommand(const std::vector<std::string>& argv);

// True when a program of that name is found on PATH.
bool commandExists(const std::string& name);

} // namespace velmora::bench

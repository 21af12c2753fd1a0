#pragma once
// The options every side-by-side benchmark takes: how long a round lasts, how many rounds of
// each contender it runs, and which program it measures.

#include <cstdlib>
#include <cstring>
#include <string>

namespace velmora::bench {

struct RoundOptions {
    double seconds = 10;
    int rounds = 3;
    std::string program;

    bool valid() const { return seconds > 0 && rounds > 0; }
};

// When argv[i] is --seconds, --rounds or --program and a value follows: takes both, leaves i at
// the value and returns true.
inline bool readRoundOption(int argc, char** argv, int& i, RoundOptions& options)
{
    if (i + 1 >= argc)
        return false;
    if (std::strcmp(argv[i], "--seconds") == 0)
        options.seconds = std::atof(argv[++i]);
    else if (std::strcmp(argv[i], "--rounds") == 0)
        options.rounds = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--program") == 0)
        options.program = argv[++i];
    else
        return false;
    return true;
}

} // namespace velmora::bench

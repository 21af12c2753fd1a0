#pragma once
// A presenter's change that comes at moments nobody can foresee: from construction until the
// object goes, a thread of its own gives a square a new colour at random moments 0.25 to 0.75 s
// apart (the same moments for the same seed), and notes when each colour was on the screen.

#include "x11_colour_square.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora::bench {

struct SquareChange {
    std::chrono::steady_clock::time_point at; // the colour was on the screen by then
    int colour = 0;                           // the colour's number, counting from 1
};

class ChangingSquare {
public:
    // The square keeps what it shows until the first change (the caller shows colour 0 there
    // first, as the start of the run).
    ChangingSquare(X11ColourSquare& square, unsigned seed);

    std::vector<SquareChange> changes() const;

    // Colour number n as 0xRRGGBB: 512 colours (a run of fewer changes than that names each
    // change apart), each far from the others in every channel
    // step, so that a picture's pixel names its number exactly.
    static std::uint32_t colour(int number);
    // The number of the colour a picture shows, or -1 for none of them.
    static int number(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

private:
    void run(std::stop_token stop, X11ColourSquare& square, unsigned seed);

    mutable std::mutex mutex_;
    std::vector<SquareChange> changes_;
    std::jthread thread_; // last: stopped and joined first
};

} // namespace velmora::bench

#pragma once
// One measured round of change -> picture on the server: a contender runs on a screen whose
// square changes colour at irregular moments; the round notes when each change was on the screen
// and, for every picture of the contender that arrived on the server, when it arrived and which
// of the square's colours it shows (read from a copy taken as it arrived).

#include "changing_square.h"
#include "support/test_window.h" // tests/support
#include "upload_watch.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::bench {

struct PictureArrival {
    UploadWatch::Clock::time_point at;
    int colour = -1; // the square's colour number in the picture; -1: not readable
};

struct LatencyRound {
    std::vector<SquareChange> changes;
    std::vector<PictureArrival> pictures; // in the order they arrived
};

struct LatencySetup {
    std::string serverRoot; // the FTP server's folder, where the pictures arrive
    std::string serverLog;
    ArrivalPattern pictures; // the contender's picture names on the server
    std::string copyFolder;  // an existing folder of this round's own for the copies
    X11ColourSquare* square = nullptr;
    test::ScreenArea squareArea;
    int screenWidth = 0; // a picture of another size is taken as the screen scaled
    int screenHeight = 0;
    unsigned seed = 0; // the moments of the changes
    double seconds = 10;
};

// start returns the running contender, which stops when the last owner lets go of it. Nothing
// when its first picture did not arrive within a minute.
std::optional<LatencyRound>
measureLatencyRound(const LatencySetup& setup, const std::function<std::shared_ptr<void>()>& start);

} // namespace velmora::bench

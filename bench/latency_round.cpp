#include "latency_round.h"

#include "support/png_file.h" // tests/support

#include <filesystem>
#include <thread>

namespace velmora::bench {
namespace {

// The square's colour number at its middle, wherever a smaller or larger picture puts it.
int shownColour(const std::string& copy, const LatencySetup& setup)
{
    const auto pixels = test::decodePng(copy);
    if (!pixels || setup.screenWidth <= 0 || setup.screenHeight <= 0)
        return -1;
    const test::ScreenArea& a = setup.squareArea;
    const int x = (a.left + a.width / 2) * pixels->width / setup.screenWidth;
    const int y = (a.top + a.height / 2) * pixels->height / setup.screenHeight;
    if (x >= pixels->width || y >= pixels->height)
        return -1;
    const std::uint8_t* rgb = pixels->at(x, y);
    return ChangingSquare::number(rgb[0], rgb[1], rgb[2]);
}

} // namespace

std::optional<LatencyRound> measureLatencyRound(const LatencySetup& setup,
                                                const std::function<std::shared_ptr<void>()>& start)
{
    using Clock = UploadWatch::Clock;
    namespace fs = std::filesystem;
    const auto copyOf = [&](std::size_t index) {
        return setup.copyFolder + "/" + std::to_string(index) + ".png";
    };
    setup.square->show(ChangingSquare::colour(0));
    LatencyRound round;
    std::vector<Clock::time_point> stamps;
    {
        // A picture stays under its name on the server until the contender's next picture but
        // two: copied at once, it is the one that arrived.
        UploadWatch watch(setup.serverLog, setup.pictures,
                          [&](const std::string& path, std::size_t index) {
                              std::error_code failed;
                              fs::copy_file(setup.serverRoot + "/" + path, copyOf(index),
                                            fs::copy_options::overwrite_existing, failed);
                          });
        auto contender = start();
        if (!watch.waitForCount(1, Clock::now() + std::chrono::seconds(60)))
            return std::nullopt;
        // The first cycles also bring the viewer page and the first connection: past them, the
        // contender is in its stride.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        {
            ChangingSquare changing(*setup.square, setup.seed);
            std::this_thread::sleep_for(std::chrono::duration<double>(setup.seconds));
            round.changes = changing.changes();
        }
        // Room for the last change to arrive, even at today's slowest.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        contender.reset();
        stamps = watch.stamps();
    }
    for (std::size_t i = 0; i < stamps.size(); ++i)
        round.pictures.push_back({stamps[i], shownColour(copyOf(i), setup)});
    return round;
}

} // namespace velmora::bench

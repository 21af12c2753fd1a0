#include "changing_square.h"

#include <condition_variable>
#include <random>

namespace velmora::bench {
namespace {

constexpr int kStep = 32; // the channel values 16, 48, ... 240
constexpr int kLevels = 8;

} // namespace

ChangingSquare::ChangingSquare(X11ColourSquare& square, unsigned seed)
{
    thread_ =
        std::jthread([this, &square, seed](std::stop_token stop) { run(stop, square, seed); });
}

std::vector<SquareChange> ChangingSquare::changes() const
{
    std::lock_guard lock(mutex_);
    return changes_;
}

std::uint32_t ChangingSquare::colour(int number)
{
    const auto level = [](int n) { return static_cast<std::uint32_t>(16 + kStep * (n % kLevels)); };
    const int n = number % (kLevels * kLevels * kLevels);
    return level(n) << 16 | level(n / kLevels) << 8 | level(n / (kLevels * kLevels));
}

int ChangingSquare::number(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    int n = 0;
    int weight = 1;
    for (const int channel : {red, green, blue}) {
        if (channel < 16 || (channel - 16) % kStep != 0)
            return -1;
        n += (channel - 16) / kStep * weight;
        weight *= kLevels;
    }
    return n;
}

void ChangingSquare::run(std::stop_token stop, X11ColourSquare& square, unsigned seed)
{
    using Clock = std::chrono::steady_clock;
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> gapMs(250, 750);
    std::mutex sleeping;
    std::condition_variable_any woken;
    auto next = Clock::now();
    for (int number = 1; !stop.stop_requested(); ++number) {
        // By the clock, not after each drawing: the moments stay those of the seed.
        next += std::chrono::milliseconds(gapMs(random));
        {
            std::unique_lock lock(sleeping);
            woken.wait_until(lock, stop, next, [] { return false; });
        }
        if (stop.stop_requested())
            break;
        square.show(colour(number));
        const auto shown = Clock::now();
        std::lock_guard lock(mutex_);
        changes_.push_back({shown, number});
    }
}

} // namespace velmora::bench

#include "marked_screen.h"

#include <QImage>

#include <array>
#include <cstdlib>

namespace velmora::bench {
namespace {

using Clock = std::chrono::steady_clock;

struct Colour {
    int r, g, b;
};
constexpr std::array<Colour, 8> kMarkColours = {{{220, 20, 20},
                                                 {20, 170, 20},
                                                 {20, 40, 220},
                                                 {230, 200, 0},
                                                 {200, 0, 200},
                                                 {0, 190, 200},
                                                 {240, 120, 0},
                                                 {90, 0, 140}}};
constexpr int kColours = static_cast<int>(kMarkColours.size());

// Top right, on the editor's page, away from the program's own window and the caption line.
struct MarkPlace {
    int left, top, width, height;
};
MarkPlace markPlace(int screenWidth, int screenHeight)
{
    return {screenWidth - 260, screenHeight / 6, 200, 120};
}

// Which colour a picture's mark has: every sampled point must agree.
int markColour(const QImage& image)
{
    const MarkPlace place = markPlace(image.width(), image.height());
    int found = -1;
    for (const auto& [fx, fy] : {std::pair{1, 1}, {3, 1}, {2, 2}, {1, 3}, {3, 3}}) {
        const QRgb pixel =
            image.pixel(place.left + place.width * fx / 4, place.top + place.height * fy / 4);
        int colour = -1;
        for (int c = 0; c < kColours; ++c) {
            const Colour& k = kMarkColours[static_cast<std::size_t>(c)];
            if (std::abs(qRed(pixel) - k.r) + std::abs(qGreen(pixel) - k.g) +
                    std::abs(qBlue(pixel) - k.b) <
                60)
                colour = c;
        }
        if (colour < 0 || (found >= 0 && colour != found))
            return -1;
        found = colour;
    }
    return found;
}

} // namespace

MarkedScreen::MarkedScreen(test::VirtualDisplay& display, const ScrollingDocument& document)
    : display_(display), document_(document)
{
}

MarkedScreen::~MarkedScreen() = default;

void MarkedScreen::show(int scrolledLines, int number)
{
    RgbPicture screen = document_.screen(scrolledLines);
    const MarkPlace place = markPlace(screen.width(), screen.height());
    const Colour& colour = kMarkColours[static_cast<std::size_t>(number % kColours)];
    for (int y = place.top; y < place.top + place.height; ++y) {
        std::uint8_t* pixel = screen.row(y) + 3 * place.left;
        for (int x = 0; x < place.width; ++x, pixel += 3) {
            pixel[0] = static_cast<std::uint8_t>(colour.r);
            pixel[1] = static_cast<std::uint8_t>(colour.g);
            pixel[2] = static_cast<std::uint8_t>(colour.b);
        }
    }
    display_.showOnRoot(screen);
}

ScreenChange MarkedScreen::record(int number)
{
    const ScreenChange change{number, Clock::now()};
    std::lock_guard lock(mutex_);
    changes_.push_back(change);
    return change;
}

ScreenChange MarkedScreen::changeStill()
{
    if (scroller_.joinable()) {
        scroller_.request_stop();
        scroller_.join();
    }
    const int number = static_cast<int>(changes().size());
    show(0, number);
    return record(number);
}

void MarkedScreen::startScrolling(std::chrono::milliseconds every)
{
    if (scroller_.joinable())
        return;
    scroller_ = std::jthread([this, every](std::stop_token stop) {
        constexpr auto kLine = std::chrono::milliseconds(30);
        const auto start = Clock::now();
        int number = static_cast<int>(changes().size()) - 1;
        auto nextChange = start;
        while (!stop.stop_requested()) {
            const auto now = Clock::now();
            const bool change = now >= nextChange;
            if (change) {
                ++number;
                nextChange += every;
            }
            const int line = static_cast<int>((now - start) / kLine);
            show(line, number);
            if (change)
                record(number);
            std::this_thread::sleep_until(start + (line + 1) * kLine);
        }
    });
}

std::vector<ScreenChange> MarkedScreen::changes() const
{
    std::lock_guard lock(mutex_);
    return changes_;
}

int MarkedScreen::changeShown(const std::string& png, Clock::time_point at) const
{
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(png.data()),
                            static_cast<int>(png.size()), "PNG"))
        return -1;
    const int colour = markColour(image);
    if (colour < 0)
        return -1;
    std::lock_guard lock(mutex_);
    for (auto c = changes_.rbegin(); c != changes_.rend(); ++c)
        if (c->at <= at && c->number % kColours == colour)
            return c->number;
    return -1;
}

} // namespace velmora::bench

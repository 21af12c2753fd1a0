#include "capture/region_validation.h"
#include "core/message_titles.h"

#include <array>
#include <cstdint>

namespace velmora {
namespace {

constexpr const char* kAllowedCharacters = "1234567890,";
constexpr std::uint64_t kBeyondAnyScreen = 1'000'000'000'000ULL;

bool onlyAllowedCharacters(const std::string& text)
{
    std::array<bool, 256> allowed{};
    for (const char* c = kAllowedCharacters; *c != '\0'; ++c)
        allowed[static_cast<unsigned char>(*c)] = true;
    for (const char c : text) {
        if (!allowed[static_cast<unsigned char>(c)])
            return false;
    }
    return true;
}

// The fields hold digits only once the format test has passed. They are read without the
// 32-bit wrap of the number rule: "4294967297" must count as far beyond the screen, not as 1.
std::uint64_t digitsValue(const std::string& digits)
{
    std::uint64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value >= kBeyondAnyScreen)
            return kBeyondAnyScreen;
    }
    return value;
}

bool exceeds(std::uint64_t value, std::int32_t limit)
{
    return limit < 0 || value > static_cast<std::uint64_t>(limit);
}

} // namespace

RegionCheck checkRegionText(const std::string& region, const ScreenBounds& screen)
{
    if (region.empty())
        return RegionCheck::Usable; // all four values read as 0
    std::size_t commas = 0;
    for (const char c : region)
        commas += c == ',' ? 1 : 0;
    if (commas != 3 || !onlyAllowedCharacters(region))
        return RegionCheck::BadFormat;

    std::array<std::uint64_t, 4> values{};
    std::size_t start = 0;
    for (std::size_t n = 0; n < values.size(); ++n) {
        std::size_t comma = region.find(',', start);
        if (comma == std::string::npos)
            comma = region.size();
        values[n] = digitsValue(region.substr(start, comma - start));
        start = comma + 1;
    }
    const std::int32_t width = screen.right;
    const std::int32_t height = screen.bottom;
    if (exceeds(values[0], width) || exceeds(values[1], height) || exceeds(values[2], width) ||
        exceeds(values[3], height))
        return RegionCheck::BeyondScreen;
    return RegionCheck::Usable;
}

std::string regionFormatMessage()
{
    return "'Ausgew\xE4hlter Bildschirmbereich' muss leer sein f\xFCr den ganzen "
           "Bildschirmbereich\r\n"
           "oder im Format 'links,oben,rechts,unten' f\xFCr einen eingeschr\xE4nkten "
           "Bildschirmbereich.\r\n"
           "Bitte ben\xFCtzen Sie den Knopf 'Bereich bestimmen' um diese Angaben festzulegen.\r\n";
}

std::string regionSizeMessage(const ScreenBounds& screen)
{
    return "Der ausgew\xE4hlte Bildschirmbereich \xFC"
           "berschreitet die Bildschirmgr\xF6sse.\r\n"
           "Die maximalen Werte sind: " +
           std::to_string(screen.right) + " Pixel breit, " + std::to_string(screen.bottom) +
           " Pixel hoch\r\n";
}

bool ValidateRegionText(SettingsFields& fields, const ScreenBounds& screen, MessageBoxes& boxes)
{
    const RegionCheck check = checkRegionText(fields.text(SettingsField::ScreenRegion), screen);
    if (check == RegionCheck::Usable)
        return true;
    boxes.show(titles::kError,
               check == RegionCheck::BadFormat ? regionFormatMessage() : regionSizeMessage(screen));
    fields.focus(SettingsField::ScreenRegion);
    return false;
}

} // namespace velmora

#include "publish/upload_time_text.h"

namespace velmora {

std::string uploadTimeText(std::int64_t localSeconds)
{
    constexpr std::int64_t kDay = 24 * 60 * 60;
    const std::int64_t ofDay = ((localSeconds % kDay) + kDay) % kDay; // before 1970 too
    const int parts[3] = {static_cast<int>(ofDay / 3600), static_cast<int>(ofDay / 60 % 60),
                          static_cast<int>(ofDay % 60)};
    std::string text;
    for (int i = 0; i < 3; ++i) {
        if (i)
            text += ':';
        text += static_cast<char>('0' + parts[i] / 10);
        text += static_cast<char>('0' + parts[i] % 10);
    }
    return text;
}

} // namespace velmora

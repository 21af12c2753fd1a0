#include "transfer/win32_ansi_path.h"

namespace velmora {

std::string ansiPath(const std::wstring& wide)
{
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                         static_cast<int>(wide.size()), nullptr, 0, nullptr, &lost);
    if (size <= 0 || lost)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        text.data(), size, nullptr, &lost);
    return lost ? std::string() : text;
}

} // namespace velmora

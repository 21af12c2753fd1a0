#include "gui/win32_fonts.h"

#include <cmath>
#include <cwchar>
#include <initializer_list>

namespace velmora {

Win32Font& Win32Font::operator=(Win32Font&& other) noexcept
{
    if (this != &other) {
        reset();
        font_ = other.font_;
        other.font_ = nullptr;
    }
    return *this;
}

void Win32Font::reset()
{
    if (font_ != nullptr)
        DeleteObject(font_);
    font_ = nullptr;
}

int screenDotsPerInch()
{
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return 96;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

Win32Font arialBold(int points, int dotsPerInch)
{
    const int height = -static_cast<int>(std::lround(points * dotsPerInch / 72.0));
    return Win32Font(CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_SWISS, L"Arial"));
}

HFONT gadgetFont()
{
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

Win32Font narrowDialogFont()
{
    constexpr int kPixelHeight = 12;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return {};
    Win32Font found;
    // The font mapper gives some font for any name: only one that really has the face counts.
    for (const wchar_t* face : {L"Arial Narrow", L"Liberation Sans Narrow"}) {
        Win32Font candidate(CreateFontW(-kPixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face));
        if (candidate.get() == nullptr)
            continue;
        const HGDIOBJ previous = SelectObject(screen, candidate.get());
        wchar_t got[LF_FACESIZE] = {};
        GetTextFaceW(screen, LF_FACESIZE, got);
        SelectObject(screen, previous);
        if (std::wcscmp(got, face) == 0) {
            found = std::move(candidate);
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return found;
}

} // namespace velmora

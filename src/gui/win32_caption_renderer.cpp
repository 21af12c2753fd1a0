#include "gui/win32_caption_renderer.h"

#include "app/win32_wide_text.h"

#include <algorithm>
#include <cstdint>

namespace velmora {
namespace {

constexpr int kCaptionPoints = 8;

class MemoryDc {
public:
    MemoryDc() : dc_(CreateCompatibleDC(nullptr)) {}
    ~MemoryDc()
    {
        if (dc_ != nullptr)
            DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// Put back what was selected before, so that the DC lets go of the object before it is deleted.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, previous_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace

CaptionBox Win32CaptionRenderer::draw(RgbPicture& picture, const std::string& text)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return {};
    if (font_.get() == nullptr)
        font_ = arialBold(kCaptionPoints, screenDotsPerInch());
    const MemoryDc dc;
    if (dc.get() == nullptr)
        return {};
    const std::wstring line = wideFromWindows1252(text);
    const HGDIOBJ font = font_.get() != nullptr ? static_cast<HGDIOBJ>(font_.get())
                                                : GetStockObject(DEFAULT_GUI_FONT);
    const Selection fontSelection(dc.get(), font);
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(line.size()), &extent);
    const CaptionBox box{static_cast<int>(extent.cx), static_cast<int>(extent.cy)};
    if (box.width <= 0 || box.height <= 0)
        return box;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = box.width;
    info.bmiHeader.biHeight = -box.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (bitmap == nullptr || memory == nullptr)
        return box;
    {
        const Selection bitmapSelection(dc.get(), bitmap);
        SetBkMode(dc.get(), OPAQUE);
        SetBkColor(dc.get(), RGB(224, 224, 224));
        SetTextColor(dc.get(), RGB(96, 96, 96));
        const RECT area{0, 0, box.width, box.height};
        ExtTextOutW(dc.get(), 0, 0, ETO_OPAQUE, &area, line.c_str(), static_cast<UINT>(line.size()),
                    nullptr);
        GdiFlush();
        // The box may reach beyond a small picture: only what lies inside is copied.
        const int rows = std::min(box.height, picture.height());
        const int columns = std::min(box.width, picture.width());
        const auto* pixels = static_cast<const std::uint8_t*>(memory);
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t* from = pixels + static_cast<std::size_t>(y) * box.width * 4;
            std::uint8_t* to = picture.row(y);
            for (int x = 0; x < columns; ++x, from += 4, to += 3) {
                to[0] = from[2];
                to[1] = from[1];
                to[2] = from[0];
            }
        }
    }
    DeleteObject(bitmap);
    return box;
}

} // namespace velmora

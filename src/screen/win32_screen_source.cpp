#include "screen/win32_screen_source.h"

#include <windows.h>

#include <type_traits>

namespace velmora {
namespace {

// The screen's device context, given back when the copy is done: holding it between captures
// would keep a DC of the desktop window busy for the program's whole run.
class ScreenDc {
public:
    ScreenDc() : window_(GetDesktopWindow()), dc_(GetDC(window_)) {}
    ~ScreenDc()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

struct DeleteDc {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DeleteBitmap {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};

} // namespace

// A top-down 32-bit DIB section as large as the largest copy asked for so far, selected into a
// memory DC of its own: BitBlt writes straight into memory the program can read.
struct Win32ScreenSource::Impl {
    ScreenBounds bounds;
    std::unique_ptr<std::remove_pointer_t<HDC>, DeleteDc> memoryDc;
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteBitmap> bitmap;
    HGDIOBJ originalBitmap = nullptr;
    const std::uint8_t* pixels = nullptr; // blue, green, red, unused
    int bitmapWidth = 0;
    int bitmapHeight = 0;

    ~Impl()
    {
        if (memoryDc && originalBitmap)
            SelectObject(memoryDc.get(), originalBitmap);
    }

    bool fit(HDC screen, int width, int height)
    {
        if (pixels && width <= bitmapWidth && height <= bitmapHeight)
            return true;
        if (memoryDc && originalBitmap)
            SelectObject(memoryDc.get(), originalBitmap);
        bitmap.reset();
        pixels = nullptr;
        if (!memoryDc)
            memoryDc.reset(CreateCompatibleDC(screen));
        if (!memoryDc)
            return false;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // rows from the top down, as the picture has them
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* memory = nullptr;
        bitmap.reset(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &memory, nullptr, 0));
        if (!bitmap || !memory)
            return false;
        originalBitmap = SelectObject(memoryDc.get(), bitmap.get());
        pixels = static_cast<const std::uint8_t*>(memory);
        bitmapWidth = width;
        bitmapHeight = height;
        return true;
    }
};

Win32ScreenSource::Win32ScreenSource() : impl_(std::make_unique<Impl>())
{
    const ScreenDc screen;
    RECT clip{};
    if (screen.get() && GetClipBox(screen.get(), &clip) != ERROR)
        impl_->bounds = {clip.left, clip.top, clip.right, clip.bottom};
}

Win32ScreenSource::~Win32ScreenSource() = default;

ScreenBounds Win32ScreenSource::bounds() const
{
    return impl_->bounds;
}

bool Win32ScreenSource::copyRgb(int x, int y, int width, int height, std::uint8_t* rgb,
                                std::size_t stride)
{
    if (width <= 0 || height <= 0)
        return false;
    const ScreenDc screen;
    if (!screen.get() || !impl_->fit(screen.get(), width, height))
        return false;
    if (!BitBlt(impl_->memoryDc.get(), 0, 0, width, height, screen.get(), x, y,
                SRCCOPY | CAPTUREBLT))
        return false;
    // GDI may still be drawing into the section; the pixels are ours only after a flush.
    GdiFlush();
    const std::size_t sourceStride = static_cast<std::size_t>(impl_->bitmapWidth) * 4;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* from = impl_->pixels + static_cast<std::size_t>(row) * sourceStride;
        std::uint8_t* to = rgb + static_cast<std::size_t>(row) * stride;
        for (int column = 0; column < width; ++column, from += 4, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    return true;
}

std::optional<PointerPosition> Win32ScreenSource::pointerPosition()
{
    POINT point{};
    if (!GetCursorPos(&point))
        return std::nullopt;
    return PointerPosition{point.x, point.y};
}

} // namespace velmora

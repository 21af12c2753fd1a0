#pragma once
// The preview's picture on Win32, shown the way a browser shows a page holding only that
// picture: at its own size from the top-left corner, white beyond it, with scroll bars when it
// is larger than the view. The PNG file is read with GDI+.

#include "gui/win32_window.h"

#include <string>

namespace velmora {

class Win32PictureView final : public Win32Window {
public:
    // A child of parent; path is Windows-1252. A file that cannot be read leaves the view white.
    Win32PictureView(HWND parent, const std::string& path);
    ~Win32PictureView() override;

    bool hasPicture() const { return picture_ != nullptr; }
    void place(int x, int y, int width, int height);

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void load(const std::string& path);
    void updateScrollBars();
    void scroll(int bar, int request, int wheelSteps = 0);
    void paint();

    HBITMAP picture_ = nullptr;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    int offsetX_ = 0;
    int offsetY_ = 0;
};

} // namespace velmora

#pragma once
// The small always-on-top control panel on Win32: the described window, and the tray it hides
// in.

#include "app/front_end.h"
#include "gui/win32_described_window.h"
#include "gui/win32_tray_icon.h"

#include <memory>

namespace velmora {

class Win32MainWindow final : public MainWindowView {
public:
    Win32MainWindow(WindowPosition position, WindowActionHandler onAction, HICON icon);
    ~Win32MainWindow() override;

    void setStatusLine(const std::string& text) override;
    void setTrayTooltip(const std::string& text) override;
    bool inTray() const override { return tray_.shown(); }
    DescribedWindow& window() override { return *window_; }
    HWND handle() const { return window_->handle(); }

    void minimiseToTray() override;
    void restoreFromTray();

private:
    bool onTrayMessage(UINT message, LPARAM lParam);

    std::unique_ptr<Win32DescribedWindow> window_;
    Win32TrayIcon tray_;
    UINT taskbarCreated_;
};

} // namespace velmora

#pragma once
// The small always-on-top control panel on Win32: the described buttons, Status line and menu,
// hidden into the tray on request. It only reports what the presenter did; the wiring decides
// what happens.

#include "app/front_end.h"
#include "gui/win32_described_window.h"
#include "gui/win32_tray_icon.h"

namespace velmora {

class Win32MainWindow final : public Win32DescribedWindow, public MainWindowView {
public:
    Win32MainWindow(WindowPosition position, WindowActionHandler onAction, HICON icon);
    ~Win32MainWindow() override;

    void setStatusLine(const std::string& text) override;
    void setTrayTooltip(const std::string& text) override;
    bool inTray() const override { return tray_.shown(); }
    WindowPosition position() const override;

    void minimiseToTray();
    void restoreFromTray();

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void onAction(WindowAction action);

    WindowActionHandler onAction_;
    Win32TrayIcon tray_;
    UINT taskbarCreated_;
};

} // namespace velmora

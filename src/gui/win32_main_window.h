#pragma once
// The small always-on-top control panel on Win32: four buttons just below the menu, the Status
// line and the menu; hidden into the tray on request. It only reports what the presenter did;
// PresentationControl decides what happens.

#include "app/front_end.h"
#include "gui/win32_tray_icon.h"
#include "gui/win32_window.h"

#include <memory>

namespace velmora {

class Win32MainWindow final : public Win32Window, public MainWindowView {
public:
    Win32MainWindow(WindowPosition position, MainWindowCommands commands, HICON icon);
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
    void onCommand(int id);

    MainWindowCommands commands_;
    HWND status_ = nullptr;
    std::string statusText_;
    Win32TrayIcon tray_;
    UINT taskbarCreated_;
};

} // namespace velmora

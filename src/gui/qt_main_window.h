#pragma once
// The small always-on-top control panel on Qt: the described window, and the tray it hides in.

#include "app/front_end.h"
#include "gui/qt_described_window.h"

#include <QIcon>

#include <memory>

class QSystemTrayIcon;

namespace velmora {

class QtMainWindow final : public MainWindowView {
public:
    QtMainWindow(WindowPosition position, const QIcon& trayImage, WindowActionHandler onAction);
    ~QtMainWindow() override;

    void setStatusLine(const std::string& text) override;
    void setTrayTooltip(const std::string& text) override;
    bool inTray() const override { return inTray_; }
    DescribedWindow& window() override { return *window_; }
    QWidget& widget() { return *window_; }

    void minimiseToTray() override;
    void restoreFromTray();

private:
    QIcon trayImage_;
    std::unique_ptr<QtDescribedWindow> window_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    bool inTray_ = false;
};

} // namespace velmora

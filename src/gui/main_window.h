#pragma once
// The small always-on-top control panel on Qt: the described buttons, Status line and menus, and
// the tray. It only reports what the presenter did; the wiring decides what happens.

#include "app/front_end.h"
#include "gui/qt_gadgets.h"

#include <QIcon>
#include <QMainWindow>

#include <memory>

class QSystemTrayIcon;

namespace velmora {

class MainWindow final : public QMainWindow, public MainWindowView {
public:
    MainWindow(int x, int y, const QIcon& trayImage, WindowActionHandler onAction = {});
    ~MainWindow() override;

    void setStatusLine(const std::string& text) override;
    void setTrayTooltip(const std::string& text) override;
    bool inTray() const override { return inTray_; }
    WindowPosition position() const override { return {x(), y()}; }

    void minimiseToTray();
    void restoreFromTray();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void act(WindowAction action);

    WindowActionHandler onAction_;
    // The gadgets' parent; it outlives them.
    QWidget area_;
    std::unique_ptr<QtGadgets> gadgets_;
    QIcon trayImage_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    bool inTray_ = false;
};

} // namespace velmora

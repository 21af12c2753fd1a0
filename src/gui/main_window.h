#pragma once
// The small always-on-top control panel: four buttons, the Status line and the menu. It only
// reports what the presenter did; PresentationControl decides what happens.

#include "app/front_end.h"

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

#include <memory>

class QSystemTrayIcon;

namespace velmora {

class MainWindow final : public QMainWindow, public MainWindowView {
    Q_OBJECT
public:
    MainWindow(int x, int y, const QIcon& trayImage);
    ~MainWindow() override;

    void setStatusLine(const std::string& text) override;
    void setTrayTooltip(const std::string& text) override;
    bool inTray() const override { return inTray_; }
    WindowPosition position() const override { return {x(), y()}; }

    void minimiseToTray();
    void restoreFromTray();

signals:
    void startClicked();
    void stopClicked();
    void clearClicked();
    void quitRequested(); // Exit, "&Beenden" or the close box
    void settingsRequested();
    void helpRequested();
    void aboutRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Gadgets are members: their parent is the area, which outlives them.
    QWidget area_;
    QPushButton start_;
    QPushButton stop_;
    QPushButton clear_;
    QPushButton exit_;
    QLabel status_;
    QIcon trayImage_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    bool inTray_ = false;
};

} // namespace velmora

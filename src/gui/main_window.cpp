#include "gui/main_window.h"

#include "gui/text_codec.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSystemTrayIcon>

namespace velmora {
namespace {

constexpr int kClientWidth = 158;
constexpr int kClientHeight = 78; // the menu bar takes its height out of this

void placeButton(QPushButton& button, const char* name, const QString& text, int x)
{
    button.setObjectName(QString::fromLatin1(name));
    button.setText(text);
    button.setGeometry(x, 0, 36, 18);
    button.setAutoDefault(false);
}

} // namespace

MainWindow::MainWindow(int x, int y, const QIcon& trayImage) : trayImage_(trayImage)
{
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setWindowIcon(trayImage_);

    auto* menus = menuBar();
    menus->setNativeMenuBar(false);
    QMenu* file = menus->addMenu(QStringLiteral("&Datei"));
    file->setObjectName(QStringLiteral("fileMenu"));
    file->addAction(QStringLiteral("&Beenden"), this, &MainWindow::quitRequested);
    QMenu* extras = menus->addMenu(QStringLiteral("&Extras"));
    extras->setObjectName(QStringLiteral("extrasMenu"));
    extras->addAction(QStringLiteral("E&instellungen"), this, &MainWindow::settingsRequested);
    extras->addAction(QStringLiteral("&Minimieren in Infobereich"), this,
                      &MainWindow::minimiseToTray);
    QMenu* help = menus->addMenu(QStringLiteral("&Hilfe"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(QStringLiteral("&Online Hilfe"), this, &MainWindow::helpRequested);
    help->addAction(QStringLiteral("&Über ..."), this, &MainWindow::aboutRequested);

    for (QWidget* gadget : {static_cast<QWidget*>(&start_), static_cast<QWidget*>(&stop_),
                            static_cast<QWidget*>(&clear_), static_cast<QWidget*>(&exit_),
                            static_cast<QWidget*>(&status_)})
        gadget->setParent(&area_);
    setCentralWidget(&area_);
    placeButton(start_, "startButton", QStringLiteral("Start"), 3);
    placeButton(stop_, "stopButton", QStringLiteral("Stop"), 41);
    placeButton(clear_, "clearButton", QStringLiteral("Clear"), 79);
    placeButton(exit_, "exitButton", QStringLiteral("Exit"), 117);
    connect(&start_, &QPushButton::clicked, this, &MainWindow::startClicked);
    connect(&stop_, &QPushButton::clicked, this, &MainWindow::stopClicked);
    connect(&clear_, &QPushButton::clicked, this, &MainWindow::clearClicked);
    connect(&exit_, &QPushButton::clicked, this, &MainWindow::quitRequested);
    status_.setText(QStringLiteral("Status"));
    status_.setObjectName(QStringLiteral("statusLine"));
    status_.setGeometry(6, 40, 145, 15);
    status_.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    setFixedSize(kClientWidth, kClientHeight);
    move(x, y);
}

MainWindow::~MainWindow()
{
    // The area is a member; keep the main window from deleting it a second time.
    takeCentralWidget();
}

void MainWindow::setStatusLine(const std::string& text)
{
    const QString shown = displayText(text);
    if (status_.text() != shown)
        status_.setText(shown);
}

void MainWindow::setTrayTooltip(const std::string& text)
{
    if (tray_)
        tray_->setToolTip(displayText(text));
}

void MainWindow::minimiseToTray()
{
    // Without a tray the window would vanish for good: minimise it instead, the desktop's own
    // task list brings it back.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        showMinimized();
        return;
    }
    hide();
    if (!tray_) {
        tray_ = std::make_unique<QSystemTrayIcon>(trayImage_);
        connect(tray_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
                        restoreFromTray();
                });
    }
    tray_->setToolTip(QStringLiteral("Velmora"));
    tray_->show();
    inTray_ = true;
}

void MainWindow::restoreFromTray()
{
    if (!inTray_)
        return;
    inTray_ = false;
    tray_->hide();
    show();
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Shut-down takes it from here; the window stays until the program ends.
    event->ignore();
    emit quitRequested();
}

} // namespace velmora

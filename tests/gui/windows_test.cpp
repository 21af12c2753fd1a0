// The main window and the about box as the presenter sees them: sizes, gadget places, title-bar
// buttons and the link's colours. Runs in-process on Qt's offscreen platform.

#include "app/about_box.h"
#include "app/program_windows.h"
#include "gui/qt_front_end.h"
#include "gui/qt_main_window.h"
#include "gui/qt_program_fonts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QPushButton>
#include <QWindow>

namespace velmora {
namespace {

// The application object comes from the tests' own main().
class WindowsTest : public ::testing::Test {
protected:
    QtFrontEnd frontEnd;
};

TEST_F(WindowsTest, MainWindowHasItsFixedSizeGadgetsAndNoMinimiseBox)
{
    QtMainWindow panel({200, 1}, QIcon(), {});
    auto& window = static_cast<QMainWindow&>(panel.widget());
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(window.size(), QSize(158, 78));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "not resizable";
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);

    const int menuBottom = window.menuBar()->geometry().bottom() + 1;
    const struct {
        const char* name;
        const char* text;
        int x;
    } buttons[] = {{"gadget11", "Start", 3},
                   {"gadget12", "Stop", 41},
                   {"gadget13", "Clear", 79},
                   {"gadget14", "Exit", 117}};
    for (const auto& expected : buttons) {
        auto* button = window.findChild<QPushButton*>(QString::fromLatin1(expected.name));
        ASSERT_NE(button, nullptr) << expected.name;
        EXPECT_EQ(button->text(), QString::fromLatin1(expected.text));
        const QPoint inWindow = button->mapTo(&window, QPoint(0, 0));
        EXPECT_EQ(QRect(inWindow, button->size()), QRect(expected.x, menuBottom, 36, 18))
            << expected.name;
    }
    auto* status = window.findChild<QLabel*>(QStringLiteral("gadget1"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), QStringLiteral("Status"));
    EXPECT_EQ(QRect(status->mapTo(&window, QPoint(0, 0)), status->size()),
              QRect(6, menuBottom + 40, 145, 15));
    EXPECT_LE(menuBottom + 55, 78) << "the Status line must fit below the menu bar";

    panel.setStatusLine("L\xE4uft 14:05:09 (17)");
    EXPECT_EQ(status->text(), QStringLiteral("Läuft 14:05:09 (17)"));
}

TEST_F(WindowsTest, MenusCarryTheirAccessKeysInOrder)
{
    QtMainWindow panel({200, 1}, QIcon(), {});
    auto& window = static_cast<QMainWindow&>(panel.widget());
    QStringList entries;
    for (QAction* title : window.menuBar()->actions()) {
        entries << title->text();
        for (QAction* item : title->menu()->actions())
            entries << QStringLiteral("  ") + item->text();
    }
    EXPECT_EQ(entries,
              (QStringList{QStringLiteral("&Datei"), QStringLiteral("  &Beenden"),
                           QStringLiteral("&Extras"), QStringLiteral("  E&instellungen"),
                           QStringLiteral("  &Minimieren in Infobereich"), QStringLiteral("&Hilfe"),
                           QStringLiteral("  &Online Hilfe"), QStringLiteral("  &Über ...")}));
}

TEST_F(WindowsTest, AboutBoxLinkTurnsRedUnderThePointerAndBackToBlack)
{
    QtMainWindow owner({200, 1}, QIcon(), {});
    int opened = 0;
    AboutBox box(frontEnd, "/usr/share/doc/velmora/README.html", [&opened] { ++opened; });
    box.open(owner.window());
    auto& about = dynamic_cast<QWidget&>(*box.window());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Über Velmora"));
    EXPECT_EQ(about.size(), QSize(290, 224));
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(about.windowHandle()->transientParent(), owner.widget().windowHandle());

    auto* link = about.findChild<QLabel*>(QStringLiteral("gadget6"));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->geometry(), QRect(55, 135, 195, 20));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::black));

    // A device of the test's own: Qt's default one would outlive the application and crash at exit.
    const QPointingDevice mouse(QStringLiteral("test mouse"), 1, QInputDevice::DeviceType::Mouse,
                                QPointingDevice::PointerType::Generic,
                                QInputDevice::Capability::Position, 1, 3);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5), &mouse);
    QApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::black));

    // A click opens the help; OK only hides the box, and the menu brings the same one back.
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier, &mouse);
    QApplication::sendEvent(link, &click);
    EXPECT_EQ(opened, 1);
    about.findChild<QPushButton*>(QStringLiteral("gadget7"))->click();
    EXPECT_FALSE(about.isVisible());
    box.open(owner.window());
    EXPECT_EQ(&dynamic_cast<QWidget&>(*box.window()), &about);
    EXPECT_TRUE(about.isVisible());
}

TEST(ProgramFonts, PointsBecomeRoundedPixelHeights)
{
    EXPECT_EQ(pixelHeightForPoints(8, 96), 11); // 10.67
    EXPECT_EQ(pixelHeightForPoints(12, 96), 16);
    EXPECT_EQ(pixelHeightForPoints(8, 120), 13); // 13.33
    EXPECT_EQ(pixelHeightForPoints(12, 120), 20);
}

} // namespace
} // namespace velmora

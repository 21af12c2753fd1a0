// The region picker on a real X server: its looks, the text that follows the window, the push
// back inside the screen, and what its button and its close box do to the settings window.

#include "app/program_windows.h"
#include "app/region_picker.h"
#include "gui/qt_front_end.h"
#include "gui/qt_program_fonts.h"

#include "support/map_settings_fields.h"
#include "support/qt_serve_events_until.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <thread>

namespace velmora {
namespace {

const ScreenBounds kScreen{0, 0, 1024, 768};

class RegionPickerWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settingsWindow->show();
        fields.texts[SettingsField::ScreenRegion] = "5,5,50,50";
    }

    QWidget& window() const { return dynamic_cast<QWidget&>(*picker.window()); }

    void openPicker()
    {
        picker.open(*settingsWindow, fields, [this] { ++closeBoxes; });
        ASSERT_TRUE(picker.isOpen());
        ASSERT_NE(picker.window(), nullptr);
        ASSERT_TRUE(test::serveEventsUntil([this] { return window().isVisible(); }));
    }

    // Puts the window somewhere and waits until its text has followed; then lets late events
    // from the X server arrive and checks the text once more.
    void placeAndExpect(const QRect& place, const std::string& text, const QPoint& restsAt)
    {
        QWidget& window = this->window();
        window.setGeometry(place);
        const auto settled = [&] {
            return picker.text() == text && window.frameGeometry().topLeft() == restsAt;
        };
        EXPECT_TRUE(test::serveEventsUntil(settled))
            << "text " << picker.text() << " at " << window.frameGeometry().x() << ","
            << window.frameGeometry().y();
        for (int round = 0; round < 10; ++round) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(picker.text(), text);
    }

    QPushButton& button() const
    {
        return *window().findChild<QPushButton*>(QStringLiteral("gadget100"));
    }

    QtFrontEnd frontEnd;
    // The owner: the settings window, as the picker opens over it.
    std::unique_ptr<DescribedWindow> settingsWindow =
        frontEnd.openWindow(settingsWindowDescription(), {}, nullptr);
    QWidget& owner = dynamic_cast<QWidget&>(*settingsWindow);
    test::MapSettingsFields fields;
    int closeBoxes = 0;
    RegionPicker picker{frontEnd, kScreen};
};

TEST_F(RegionPickerWindowTest, OpensCentredSeeThroughWithItsButtonAndHint)
{
    openPicker();
    EXPECT_FALSE(owner.isVisible()) << "the settings window is hidden while picking";

    QWidget& window = this->window();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Bereich bestimmen"));
    EXPECT_EQ(window.geometry(), QRect(412, 284, 200, 200));
    EXPECT_EQ(window.windowFlags() & Qt::WindowType_Mask, Qt::Tool) << "no taskbar button";
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint) << "as its topmost owner";
    EXPECT_NE(window.minimumSize(), window.maximumSize()) << "sizable";
    EXPECT_NEAR(window.windowOpacity(), 180.0 / 255.0, 0.005);
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(255, 245, 220));

    EXPECT_EQ(button().geometry(), QRect(10, 10, 180, 25));
    EXPECT_EQ(button().text(), QStringLiteral("100,100,300,300"));
    EXPECT_EQ(picker.text(), "100,100,300,300");
    EXPECT_TRUE(button().font().bold());
    // Arial 12 pt bold at the screen's logical pixels per inch.
    EXPECT_EQ(button().font().pixelSize(),
              pixelHeightForPoints(12, QGuiApplication::primaryScreen()->logicalDotsPerInchY()));
    auto* hint = window.findChild<QLabel*>(QStringLiteral("gadget101"));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->geometry(), QRect(10, 50, 180, 100));
    EXPECT_EQ(hint->text(), QStringLiteral("Fenstergrösse und Position anpassen um Bereich zu "
                                           "bestimmen, dann Knopf drücken."));
    EXPECT_TRUE(hint->font().bold());
}

TEST_F(RegionPickerWindowTest, TextFollowsTheWindowAndTheWindowStaysOnTheScreen)
{
    openPicker();
    placeAndExpect({100, 100, 200, 200}, "101,101,300,300", {100, 100});
    placeAndExpect({0, 0, 300, 150}, "1,1,300,150", {0, 0});
    // Off the left edge: pushed back to x 0.
    placeAndExpect({-30, 40, 200, 200}, "1,41,200,240", {0, 40});
    placeAndExpect({40, -30, 200, 200}, "41,1,240,200", {40, 0});
    // Over the right and bottom edges: made narrower and lower.
    placeAndExpect({900, 100, 200, 200}, "901,101,1024,300", {900, 100});
    EXPECT_EQ(window().width(), 124);
    placeAndExpect({100, 700, 200, 200}, "101,701,300,768", {100, 700});
    EXPECT_EQ(window().height(), 68);
}

TEST_F(RegionPickerWindowTest, ButtonHandsTheTextToTheRegionField)
{
    openPicker();
    placeAndExpect({100, 100, 200, 200}, "101,101,300,300", {100, 100});
    button().click();

    EXPECT_FALSE(picker.isOpen());
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(owner.isVisible()) << "the settings window comes back";
    EXPECT_EQ(fields.text(SettingsField::ScreenRegion), "101,101,300,300");
    EXPECT_EQ(fields.focused, std::vector<SettingsField>{SettingsField::ScreenRegion});
    EXPECT_EQ(closeBoxes, 0);

    // A new pick starts afresh.
    openPicker();
    EXPECT_EQ(picker.text(), "100,100,300,300");
    button().click();
    EXPECT_EQ(fields.text(SettingsField::ScreenRegion), "100,100,300,300");
}

TEST_F(RegionPickerWindowTest, CloseBoxDropsTheTextAndReportsItself)
{
    openPicker();
    placeAndExpect({100, 100, 200, 200}, "101,101,300,300", {100, 100});
    window().close();

    EXPECT_FALSE(picker.isOpen());
    EXPECT_TRUE(owner.isVisible());
    EXPECT_EQ(fields.text(SettingsField::ScreenRegion), "5,5,50,50");
    EXPECT_TRUE(fields.focused.empty());
    EXPECT_EQ(closeBoxes, 1);
}

} // namespace
} // namespace velmora

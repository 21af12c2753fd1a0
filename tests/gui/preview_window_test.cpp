// The preview on a real X server with the real capture and image library: the window's sizes
// for the three kinds of picture, what it shows, the files it leaves, and its order of steps.

#include "app/preview.h"
#include "app/program_windows.h"
#include "gui/qt_caption_renderer.h"
#include "gui/qt_front_end.h"

#include "capture/image_library.h"
#include "capture/preview_page.h"
#include "core/working_file_names.h"
#include "screen/x11_screen_source.h"
#include "support/fake_clock.h"
#include "support/fake_message_boxes.h"
#include "support/file_bytes.h"
#include "support/png_file.h"
#include "support/qt_serve_events_until.h"
#include "support/qt_test_screen.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <filesystem>

namespace velmora {
namespace {

const ScreenBounds kScreen{0, 0, 1024, 768};

int visiblePreviews()
{
    int count = 0;
    for (const QWidget* window : QApplication::topLevelWidgets())
        count += window->isVisible() && window->windowTitle() == "Desktop Vorschau" ? 1 : 0;
    return count;
}

// The picture the page's image names, loaded through the HTML view as it shows it.
QImage shownPicture(const QTextBrowser& browser)
{
    const QVariant resource = browser.document()->resource(
        QTextDocument::ImageResource, QUrl(QString::fromLatin1(files::kPreviewPicture)));
    if (resource.canConvert<QImage>() && resource.userType() != QMetaType::QByteArray)
        return resource.value<QImage>();
    return QImage::fromData(resource.toByteArray());
}

class PreviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.connected());
        ASSERT_NE(images, nullptr);
        settingsWindow->show(); // centred: at 165,143 on this screen
    }

    // The preview window while one is shown, and its parts.
    QWidget* window() const { return dynamic_cast<QWidget*>(preview.window()); }
    QTextBrowser& browser() const
    {
        return *window()->findChild<QTextBrowser*>(QStringLiteral("gadget1"));
    }
    QStatusBar& statusBar() const
    {
        return *window()->findChild<QStatusBar*>(QStringLiteral("gadget2"));
    }

    PreviewServices services()
    {
        return {[this] { steps.push_back("wait for upload"); },
                [this] {
                    steps.push_back(owner.isVisible() ? "capture, owner shown"
                                                      : "capture, owner hidden");
                    return desktop.capture(settings);
                },
                [this] { ++closeBoxes; }};
    }

    std::string file(const char* name) const { return temp.file(name); }

    test::TemporaryFolder temp;
    X11ScreenSource screen{test::qtTestDisplayName()};
    test::FakeMessageBoxes boxes;
    test::FakeClock clock;
    std::unique_ptr<ImageLibrary> images = LoadImageLibrary("", boxes);
    DesktopCapture desktop{screen,
                           temp.folder(),
                           *images,
                           boxes,
                           clock,
                           CaptureFailureActions{{}, [] { ADD_FAILURE() << "picture not saved"; }},
                           qtCaptionRenderer()};
    SettingsRecord settings;
    std::vector<std::string> steps;
    int closeBoxes = 0;
    QtFrontEnd frontEnd;
    // The owner: the settings window, as the preview opens over it.
    std::unique_ptr<DescribedWindow> settingsWindow =
        frontEnd.openWindow(settingsWindowDescription(), {}, nullptr);
    QWidget& owner = dynamic_cast<QWidget&>(*settingsWindow);
    Preview preview{frontEnd, temp.folder(), kScreen, services()};
};

TEST_F(PreviewWindowTest, WholeScreenFillsTheRoomTheScreenLeaves)
{
    preview.show(*settingsWindow);
    QWidget* window = this->window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(steps, (std::vector<std::string>{"wait for upload", "capture, owner hidden"}));
    EXPECT_TRUE(owner.isVisible()) << "the settings window comes back";

    EXPECT_EQ(window->windowTitle(), QStringLiteral("Desktop Vorschau"));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint) << "above its topmost owner";
    EXPECT_EQ(window->size(), QSize(914, 628));
    EXPECT_EQ(browser().geometry(), QRect(0, 0, 914, 605));
    EXPECT_EQ(window->pos(), QPoint(55, 70)) << "centred over the settings window";
    EXPECT_EQ(statusBar().currentMessage(),
              QStringLiteral("Desktop Vorschau wie in der Präsentation beim Zuschauer angezeigt"));
    EXPECT_GE(statusBar().geometry().top(), 605);

    // The files: the page byte for byte, the picture renamed.
    EXPECT_FALSE(std::filesystem::exists(file("Velmora.png")));
    const auto picture = test::decodePng(file("VelmoraPreview.png"));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->width, 1024);
    EXPECT_EQ(picture->height, 768);
    EXPECT_EQ(test::fileBytes(file("VelmoraPreview.htm")), previewPageText());

    // The view loads the page by its full path and finds the picture next to it.
    EXPECT_EQ(browser().source(),
              QUrl::fromLocalFile(QString::fromStdString(file("VelmoraPreview.htm"))));
    EXPECT_EQ(shownPicture(browser()).size(), QSize(1024, 768));
}

TEST_F(PreviewWindowTest, ReducedPictureAndRegionGetTheirOwnSizes)
{
    settings.ForceDownscale = 1;
    preview.show(*settingsWindow);
    ASSERT_NE(preview.window(), nullptr);
    EXPECT_EQ(window()->size(), QSize(798, 628));
    EXPECT_EQ(browser().geometry(), QRect(0, 0, 798, 605));
    auto picture = test::decodePng(file("VelmoraPreview.png"));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(QSize(picture->width, picture->height), QSize(768, 576));
    EXPECT_EQ(shownPicture(browser()).size(), QSize(768, 576));

    settings.ForceDownscale = 0;
    settings.ScreenRegion = "100,100,300,300";
    preview.show(*settingsWindow);
    ASSERT_NE(preview.window(), nullptr);
    EXPECT_EQ(window()->size(), QSize(231, 241));
    EXPECT_EQ(browser().geometry(), QRect(0, 0, 231, 218));
    EXPECT_EQ(window()->pos(), QPoint(396, 263));
    picture = test::decodePng(file("VelmoraPreview.png"));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(QSize(picture->width, picture->height), QSize(201, 201));
    EXPECT_EQ(shownPicture(browser()).size(), QSize(201, 201));
    EXPECT_FALSE(std::filesystem::exists(file("Velmora.png")));
}

TEST_F(PreviewWindowTest, ViewKeepsFillingTheWindowWhenResized)
{
    preview.show(*settingsWindow);
    QWidget* window = this->window();
    ASSERT_NE(window, nullptr);
    for (const QSize size : {QSize(500, 400), QSize(300, 600), QSize(1000, 700)}) {
        window->resize(size);
        ASSERT_TRUE(test::serveEventsUntil([&] { return window->size() == size; }));
        EXPECT_EQ(browser().geometry(), QRect(0, 0, size.width(), size.height() - 23));
    }
}

TEST_F(PreviewWindowTest, SecondPressReplacesTheWindow)
{
    preview.show(*settingsWindow);
    QPointer<QWidget> first = window();
    ASSERT_FALSE(first.isNull());

    settings.ScreenRegion = "100,100,300,300";
    preview.show(*settingsWindow);
    EXPECT_TRUE(first.isNull()) << "the first window is gone";
    EXPECT_EQ(visiblePreviews(), 1);
    ASSERT_NE(preview.window(), nullptr);
    EXPECT_EQ(window()->size(), QSize(231, 241));
    EXPECT_EQ(steps.size(), 4u);
}

TEST_F(PreviewWindowTest, CloseBoxReportsItselfAndTheFilesStay)
{
    preview.show(*settingsWindow);
    ASSERT_NE(preview.window(), nullptr);
    window()->close();
    EXPECT_EQ(closeBoxes, 1);
    EXPECT_EQ(preview.window(), nullptr);
    EXPECT_EQ(visiblePreviews(), 0);
    EXPECT_TRUE(std::filesystem::exists(file("VelmoraPreview.png")));
    EXPECT_TRUE(std::filesystem::exists(file("VelmoraPreview.htm")));

    preview.show(*settingsWindow);
    ASSERT_NE(preview.window(), nullptr);
    preview.close(); // as when the settings window goes: no close-box report
    EXPECT_EQ(visiblePreviews(), 0);
    EXPECT_EQ(closeBoxes, 1);
}

TEST_F(PreviewWindowTest, NoPictureMeansNoWindowAndNoMessage)
{
    // A capture that left no picture file behind, as when a reduction fails.
    Preview withoutPicture{frontEnd,
                           temp.folder(),
                           kScreen,
                           {[] {},
                            [] {
                                return CaptureResult{1024, 768, 0, 0};
                            },
                            {}}};
    withoutPicture.show(*settingsWindow);
    EXPECT_EQ(withoutPicture.window(), nullptr);
    EXPECT_EQ(visiblePreviews(), 0);
    EXPECT_TRUE(owner.isVisible());
    EXPECT_TRUE(boxes.shown().empty());
}

} // namespace
} // namespace velmora

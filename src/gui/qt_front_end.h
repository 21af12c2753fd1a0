#pragma once
// The Qt front end (Linux): the program's windows, boxes and event loop as Qt Widgets.

#include "app/front_end.h"
#include "gui/program_fonts.h"
#include "gui/qt_caption_renderer.h"
#include "gui/qt_message_boxes.h"
#include "gui/qt_own_windows.h"

#include <QIcon>

#include <memory>
#include <string>

namespace velmora {

class AboutBox;
class MainWindow;
class Preview;
class RegionFrame;
class RegionPicker;
class SettingsWindow;

class QtFrontEnd final : public FrontEnd {
public:
    // The application object must exist.
    QtFrontEnd();
    ~QtFrontEnd() override;

    MessageBoxes& boxes() override { return boxes_; }
    void serveQueuedBoxes() override { boxes_.serveQueuedBoxes(); }
    const OwnWindows& ownWindows() const override { return ownWindows_; }
    CaptionRenderer& captionRenderer() override { return qtCaptionRenderer(); }
    PositionStore& positionStore() override { return *positions_; }

    void useScreen(ScreenBounds screen, const std::string& tempFolder) override;
    MainWindowView& openMainWindow(WindowPosition position, WindowActionHandler onAction) override;
    void showAboutBox(const std::string& homepage, std::function<void()> openHomepage) override;
    void openWebAddress(const std::string& address) override;

    bool settingsWindowOpen() const override;
    void raiseSettingsWindow() override;
    SettingsWindowView& createSettingsWindow(SettingsWindowEvents events,
                                             std::function<void()> onClosed) override;
    void showSettingsWindow() override;

    void openRegionPicker(SettingsFields& fields, std::function<void()> closedByCloseBox) override;
    void startRegionFrame(const std::string& region) override;
    void stopRegionFrame() override;
    void showPreview(const PreviewServices& services) override;
    void closePreview() override;

    void runWhileRepainting(const std::function<void()>& work) override;
    void runEventLoop(const std::atomic<bool>& quit, const std::function<void()>& pace) override;
    void runOnGuiThread(std::function<void()> work) override;

private:
    QtMessageBoxes boxes_;
    QtOwnWindows ownWindows_;
    std::unique_ptr<PositionStore> positions_;
    ProgramFonts fonts_;
    QIcon trayImage_;
    ScreenBounds screen_;
    std::string tempFolder_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<AboutBox> about_;
    std::unique_ptr<RegionFrame> regionFrame_;
    std::unique_ptr<RegionPicker> regionPicker_;
    std::unique_ptr<Preview> preview_;
    // Last: it goes first, before the picker and preview that it owns at the window level.
    std::unique_ptr<SettingsWindow> settingsWindow_;
};

} // namespace velmora

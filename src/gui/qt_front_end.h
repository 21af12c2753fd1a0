#pragma once
// The Qt front end (Linux): described windows, boxes, the region frame and the event loop as Qt
// Widgets.

#include "app/front_end.h"
#include "gui/qt_caption_renderer.h"
#include "gui/qt_message_boxes.h"
#include "gui/qt_own_windows.h"
#include "gui/qt_program_fonts.h"

#include <QIcon>

#include <memory>
#include <string>

namespace velmora {

class QtMainWindow;
class RegionFrame;

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

    void useScreen(ScreenBounds screen) override;
    MainWindowView& openMainWindow(WindowPosition position, WindowActionHandler onAction) override;
    std::unique_ptr<DescribedWindow> openWindow(const WindowDescription& description,
                                                WindowEvents events, DescribedWindow* owner,
                                                WindowPlace place = {}, int clientWidth = 0,
                                                int clientHeight = 0) override;
    void openWebAddress(const std::string& address) override;

    void startRegionFrame(const std::string& region) override;
    void stopRegionFrame() override;

    void waitWhileRepainting(int milliseconds) override;
    void runWhileRepainting(const std::function<void()>& work) override;
    void runEventLoop(const std::atomic<bool>& quit, const std::function<void()>& pace) override;
    void runOnGuiThread(std::function<void()> work) override;

private:
    QtMessageBoxes boxes_;
    QtOwnWindows ownWindows_;
    std::unique_ptr<PositionStore> positions_;
    ProgramFonts fonts_;
    QIcon trayImage_;
    std::unique_ptr<QtMainWindow> mainWindow_;
    std::unique_ptr<RegionFrame> regionFrame_;
};

} // namespace velmora

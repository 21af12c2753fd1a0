#pragma once
// The Win32 front end: the program's windows, boxes and event loop with the system's own
// windowing. Made on the GUI thread, which it then stands for.

#include "app/front_end.h"
#include "gui/win32_caption_renderer.h"
#include "gui/win32_described_window.h"
#include "gui/win32_fonts.h"
#include "gui/win32_gui_thread.h"
#include "gui/win32_message_boxes.h"
#include "gui/win32_own_windows.h"
#include "gui/win32_position_store.h"
#include "gui/win32_tray_icon.h"

#include <memory>
#include <string>

namespace velmora {

class Win32MainWindow;
class Win32RegionFrame;

class Win32FrontEnd final : public FrontEnd {
public:
    Win32FrontEnd();
    ~Win32FrontEnd() override;

    MessageBoxes& boxes() override { return boxes_; }
    void serveQueuedBoxes() override { boxes_.serveQueuedBoxes(); }
    const OwnWindows& ownWindows() const override { return ownWindows_; }
    CaptionRenderer& captionRenderer() override { return captionRenderer_; }
    PositionStore& positionStore() override { return positions_; }

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
    bool takeDialogKeys(MSG& message);

    Win32GuiThread gui_;
    Win32MessageBoxes boxes_;
    Win32OwnWindows ownWindows_;
    Win32CaptionRenderer captionRenderer_;
    Win32PositionStore positions_;
    Win32Icon icon_;
    Win32Font titleFont_;
    Win32DescribedWindow::OpenWindows openWindows_;
    std::unique_ptr<Win32MainWindow> mainWindow_;
    std::unique_ptr<Win32RegionFrame> regionFrame_;
};

} // namespace velmora

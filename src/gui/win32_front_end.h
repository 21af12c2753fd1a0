#pragma once
// The Win32 front end: the program's windows, boxes and event loop with the system's own
// windowing. Made on the GUI thread, which it then stands for.

#include "app/front_end.h"
#include "gui/win32_caption_renderer.h"
#include "gui/win32_fonts.h"
#include "gui/win32_gui_thread.h"
#include "gui/win32_message_boxes.h"
#include "gui/win32_own_windows.h"
#include "gui/win32_position_store.h"
#include "gui/win32_tray_icon.h"

#include <memory>
#include <string>

namespace velmora {

class Win32AboutBox;
class Win32MainWindow;
class Win32Preview;
class Win32RegionFrame;
class Win32RegionPicker;
class Win32SettingsWindow;

class Win32FrontEnd final : public FrontEnd {
public:
    Win32FrontEnd();
    ~Win32FrontEnd() override;

    MessageBoxes& boxes() override { return boxes_; }
    void serveQueuedBoxes() override { boxes_.serveQueuedBoxes(); }
    const OwnWindows& ownWindows() const override { return ownWindows_; }
    CaptionRenderer& captionRenderer() override { return captionRenderer_; }
    PositionStore& positionStore() override { return positions_; }

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
    void settle(int milliseconds);
    bool takeDialogKeys(MSG& message);

    Win32GuiThread gui_;
    Win32MessageBoxes boxes_;
    Win32OwnWindows ownWindows_;
    Win32CaptionRenderer captionRenderer_;
    Win32PositionStore positions_;
    Win32Icon icon_;
    Win32Font titleFont_;
    ScreenBounds screen_;
    std::string tempFolder_;
    std::unique_ptr<Win32MainWindow> mainWindow_;
    std::unique_ptr<Win32AboutBox> about_;
    std::unique_ptr<Win32RegionFrame> regionFrame_;
    std::unique_ptr<Win32RegionPicker> regionPicker_;
    std::unique_ptr<Win32Preview> preview_;
    // Last: it goes first, before the picker and preview that it owns at the window level.
    std::unique_ptr<Win32SettingsWindow> settingsWindow_;
};

} // namespace velmora

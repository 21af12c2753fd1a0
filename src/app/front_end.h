#pragma once
// Everything the program needs from its windowing layer, in small pieces: the main window and its
// Status line, the settings window, the region tools, the preview, the about box, message boxes
// from any thread and the event loop. The wiring talks only to these; the Qt front end (Linux)
// and the Win32 one implement them, tests hand in fakes.

#include "app/position_store.h"
#include "app/settings_window_actions.h"
#include "app/window_description.h"
#include "app/window_position.h"
#include "capture/caption_renderer.h"
#include "capture/desktop_capture.h"
#include "capture/own_windows.h"
#include "core/message_boxes.h"
#include "core/status_display.h"
#include "screen/screen_source.h"
#include "settings/settings_form.h"

#include <atomic>
#include <functional>
#include <string>

namespace velmora {

class MainWindowView : public StatusDisplay {
public:
    // Where the window stands now, saved at shut-down.
    virtual WindowPosition position() const = 0;
};

// The preview's work besides its window: what it waits for and what it shows.
struct PreviewServices {
    // Returns once no Upload thread is under way any more (the windows keep painting and show
    // the Upload thread's message boxes meanwhile).
    std::function<void()> waitForUpload;
    // Writes the picture file into the Temp folder with the current settings (region and
    // reductions) and gives its result: CaptureDesktopPicture.
    std::function<CaptureResult()> capture;
    // The presenter closed the preview window with its close box: the presentation is stopped,
    // as for every secondary window.
    std::function<void()> closedByCloseBox;
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // Any thread. A box asked for by another thread is shown by the GUI thread, which must keep
    // calling serveQueuedBoxes() while it waits for that thread.
    virtual MessageBoxes& boxes() = 0;
    virtual void serveQueuedBoxes() = 0;

    // The program's own windows on the screen, left out when a capture is compared with the
    // spectators' picture.
    virtual const OwnWindows& ownWindows() const = 0;
    // Draws the caption line into every picture with the toolkit's own text.
    virtual CaptionRenderer& captionRenderer() = 0;
    virtual PositionStore& positionStore() = 0;

    // Start-up, once the screen is known: the region tools and the preview measure against
    // screen, and the preview keeps its files in tempFolder (ends with "/").
    virtual void useScreen(ScreenBounds screen, const std::string& tempFolder) = 0;
    // Opens the main window at position; it stays until the process ends. Its buttons, menu
    // entries and close box come back as actions (minimising to the tray is the front end's).
    virtual MainWindowView& openMainWindow(WindowPosition position,
                                           WindowActionHandler onAction) = 0;
    // "Über Velmora"; its link shows homepage and runs openHomepage. A box already open comes
    // to the front.
    virtual void showAboutBox(const std::string& homepage, std::function<void()> openHomepage) = 0;
    // The presenter's browser; a failure to open it is not reported.
    virtual void openWebAddress(const std::string& address) = 0;

    // The settings window, owned by the main window. open replaces a window closed before and
    // gives the new one, filled by the caller and then shown with showSettingsWindow.
    virtual bool settingsWindowOpen() const = 0;
    virtual void raiseSettingsWindow() = 0;
    virtual SettingsWindowView& createSettingsWindow(SettingsWindowEvents events,
                                                     std::function<void()> onClosed) = 0;
    virtual void showSettingsWindow() = 0;

    // "Bereich bestimmen" over the settings window; its result goes into fields.
    virtual void openRegionPicker(SettingsFields& fields,
                                  std::function<void()> closedByCloseBox) = 0;
    // "Bildschirmbereich" around the region (nothing for the whole screen or a refused text).
    virtual void startRegionFrame(const std::string& region) = 0;
    virtual void stopRegionFrame() = 0;
    // "Desktop Vorschau" over the settings window; closePreview when that window goes.
    virtual void showPreview(const PreviewServices& services) = 0;
    virtual void closePreview() = 0;

    // GUI thread: runs work to its end on a thread of its own while the windows keep painting
    // and showing the boxes it asks for; the presenter's input waits.
    virtual void runWhileRepainting(const std::function<void()>& work) = 0;
    // The single event loop: each pass waits at most 500 ms for an event, handles it, then runs
    // pace, until quit is set. A modal box opened by a handler holds the passes until it closes.
    virtual void runEventLoop(const std::atomic<bool>& quit, const std::function<void()>& pace) = 0;
    // Any thread: work runs on the GUI thread in the loop's next pass, which comes at once
    // instead of at its next tick.
    virtual void runOnGuiThread(std::function<void()> work) = 0;
};

} // namespace velmora

#pragma once
// Everything the program needs from its windowing layer: described windows opened and events
// back, message boxes from any thread, the region frame, and the event loop. The wiring talks
// only to these; the Qt front end (Linux) and the Win32 one implement them, tests hand in fakes.

#include "app/described_window.h"
#include "app/position_store.h"
#include "app/window_placement.h"
#include "app/window_position.h"
#include "capture/caption_renderer.h"
#include "capture/own_windows.h"
#include "core/message_boxes.h"
#include "core/status_display.h"
#include "screen/screen_source.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace velmora {

// The main window: a described window with the Status line and the tray.
class MainWindowView : public StatusDisplay {
public:
    virtual DescribedWindow& window() = 0;
    // Hides the window into the tray; where there is no tray it stays reachable.
    virtual void minimiseToTray() = 0;
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

    // Start-up, once the screen is known: the region frame and the windows centred on it
    // measure against screen.
    virtual void useScreen(ScreenBounds screen) = 0;
    // Opens the main window at position; it stays until the process ends. Its actions go to
    // onAction.
    virtual MainWindowView& openMainWindow(WindowPosition position,
                                           WindowActionHandler onAction) = 0;
    // Opens a described window, hidden until its show(). An owner keeps it above itself. A
    // window placed by its caller (Placement::Given) opens at place; a window sized by its
    // content (a client size of 0 in the description) takes clientWidth x clientHeight.
    virtual std::unique_ptr<DescribedWindow> openWindow(const WindowDescription& description,
                                                        WindowEvents events, DescribedWindow* owner,
                                                        WindowPlace place = {}, int clientWidth = 0,
                                                        int clientHeight = 0) = 0;
    // The presenter's browser; a failure to open it is not reported.
    virtual void openWebAddress(const std::string& address) = 0;

    // "Bildschirmbereich" around the region (nothing for the whole screen or a refused text).
    virtual void startRegionFrame(const std::string& region) = 0;
    virtual void stopRegionFrame() = 0;

    // GUI thread: the windows repaint for so long, the presenter's input waits; after a window
    // was hidden, so that the screen shows what lies beneath it before it is read.
    virtual void waitWhileRepainting(int milliseconds) = 0;
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

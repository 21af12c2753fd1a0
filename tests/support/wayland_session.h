#pragma once
// A headless Wayland desktop for one test executable: sway with one output of a known size,
// Xwayland that lets root's X11 clients in, PipeWire, WirePlumber, the permission store and the
// ScreenCast portal (xdg-desktop-portal with its wlroots backend), all on a private session bus.
// Everything runs in one process group that goes with the object. Needs root: sway refuses to
// run as root and is started as the unprivileged user 65534.

#include "support/launched_program.h"
#include "support/temporary_folder.h"

#include <map>
#include <memory>
#include <string>

namespace velmora::test {

class WaylandSession {
public:
    // Starts everything and waits for each part, at most about half a minute in all. Throws
    // std::runtime_error naming the part that did not come up, with its log.
    WaylandSession(int width = 1280, int height = 720);
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    // Why the desktop cannot run here at all (not root), or empty.
    static std::string cannotRunHere();

    // What a client of this desktop needs: DBUS_SESSION_BUS_ADDRESS, WAYLAND_DISPLAY, DISPLAY
    // (Xwayland), XDG_RUNTIME_DIR, XDG_CURRENT_DESKTOP, XDG_SESSION_TYPE, SWAYSOCK.
    const std::map<std::string, std::string>& environment() const { return environment_; }
    // Puts that environment into this process, for code under test that reads it itself.
    void enterThisProcess() const;

    // The log of one part: "sway", "pipewire", "wireplumber", "permission-store", "portal-wlr",
    // "portal".
    std::string log(const std::string& part) const;

    // Ends the screen sharing from the desktop's side, as a presenter does from the desktop's
    // sharing indicator: the wlroots portal goes, and with it every stream it feeds.
    void endScreenSharing() const;

    // An X11 window through Xwayland at a place of the output, filled with one colour and
    // painted again every tenth of a second (the desktop shares no frames of a still screen).
    // Gone with the returned object.
    std::unique_ptr<LaunchedProgram> showColourWindow(int x, int y, int width, int height,
                                                      const std::string& rrggbb) const;

private:
    TemporaryFolder folder_;
    std::unique_ptr<LaunchedProgram> stack_;
    std::map<std::string, std::string> environment_;
};

} // namespace velmora::test

#pragma once
// Runs the real velmora binary on a private virtual display with private home, settings and
// temporary folders, and drives it with xdotool as a person would.

#include "support/launched_program.h"
#include "support/temporary_folder.h"
#include "support/test_window.h"
#include "support/virtual_display.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::test {

struct WindowInfo {
    std::string id;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The program under test starts through startProgram() and keeps its files where
// preferenceFile() and tempFolder() say: a session of another build of it (wine_desktop_session.h)
// says how instead.
class DesktopSession {
public:
    DesktopSession();
    virtual ~DesktopSession() = default;
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    std::string home() const { return folder_.path() + "/home"; }
    std::string configHome() const { return folder_.path() + "/config"; }
    std::string tempRoot() const { return folder_.path() + "/tmp"; }
    // The program's private folder below tempRoot(), ending in "/".
    virtual std::string tempFolder() const;
    std::string positionStore() const { return configHome() + "/Corvantis/Velmora.conf"; }
    virtual std::string preferenceFile() const { return configHome() + "/Velmora/Velmora.prf"; }

    const std::string& displayName() const { return display_.name(); }

    // Writes the preference file as a presenter's earlier run would have left it: one "Key=Value"
    // line each, CR LF line ends, private to the user.
    void writePreferences(const std::vector<std::string>& lines);

    // extraEnvironment: variables for this run only, on top of the session's own (an empty
    // value removes one).
    virtual std::unique_ptr<LaunchedProgram>
    startProgram(const std::string& logName = "velmora.log",
                 const std::map<std::string, std::string>& extraEnvironment = {});

    // Visible windows whose title is exactly title.
    std::vector<WindowInfo> windows(const std::string& title);
    // The main window (titled "Velmora", 158 x 78) once it is visible, or nothing in time.
    std::optional<WindowInfo> waitForMainWindow(std::chrono::milliseconds limit);
    // How long a started program may take to show its main window.
    virtual std::chrono::milliseconds startLimit() const { return std::chrono::seconds(15); }
    bool waitForWindow(const std::string& title, std::chrono::milliseconds limit);
    // Shows a test window on the session's screen, for as long as the returned program lives,
    // once it shows; throws when it does not within 10 s. It is found by its title.
    std::unique_ptr<LaunchedProgram> showTestWindow(const TestWindow& window);
    // Open message boxes of the program ("Velmora", "Information" or "Fehler" titled windows
    // other than the main window).
    std::vector<WindowInfo> messageBoxes(const std::string& title);
    // The first message box with this title that shows within the time.
    std::optional<WindowInfo> waitForMessageBox(const std::string& title,
                                                std::chrono::milliseconds limit);
    // Closes message boxes with Enter until only the main window is left (or none shows).
    void closeMessageBoxes(std::chrono::milliseconds limit);
    void pressKey(const std::string& key);
    // Presses a key in a message box of the program: here the box has the keyboard already.
    virtual void pressKeyIn(const WindowInfo& box, const std::string& key);
    // Clicks at a point of a window's inner area.
    void click(const WindowInfo& window, int x, int y);
    // Clicks into an edit field of a window, selects what it holds and types text over it.
    void typeInto(const WindowInfo& window, int x, int y, const std::string& text);
    // Opens "Extras", then "Einstellungen" with the mouse; the settings window once it shows.
    std::optional<WindowInfo> openSettingsWindow(const WindowInfo& main,
                                                 std::chrono::milliseconds limit);

    std::string xdotool(const std::string& arguments);
    // Every visible named window with its place, for failure messages.
    std::string describeWindows();
    std::string log(const std::string& logName = "velmora.log") const;

protected:
    const std::string& folder() const { return folder_.path(); }

private:
    TemporaryFolder folder_;
    VirtualDisplay display_;
};

// The main window's buttons sit just below its menu bar; this is the middle of their row.
inline constexpr int kButtonRowY = 27;
inline constexpr int kStartX = 21;
inline constexpr int kStopX = 59;
inline constexpr int kClearX = 97;
inline constexpr int kExitX = 135;
// The menu bar above the buttons: the title "Extras" and its first entry "Einstellungen".
inline constexpr int kMenuBarY = 9;
inline constexpr int kExtrasX = 65;
inline constexpr int kFirstMenuEntryY = 31;

} // namespace velmora::test

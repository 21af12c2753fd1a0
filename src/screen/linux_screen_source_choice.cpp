#include "screen/screen_source_choice.h"

#include "screen/portal_restore_token.h"
#include "screen/portal_screen_source.h"
#include "screen/wayland_blind_screen.h"
#include "screen/wayland_capture_messages.h"
#include "screen/x11_screen_source.h"

#include <cstdlib>
#include <cstring>

namespace velmora {

bool isWaylandSession(const char* waylandDisplay, const char* sessionType)
{
    return (waylandDisplay != nullptr && *waylandDisplay != '\0') ||
           (sessionType != nullptr && std::strcmp(sessionType, "wayland") == 0);
}

ScreenChoice chooseScreenSource(const std::string& workFolder)
{
    ScreenChoice choice;
    if (!isWaylandSession(std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_SESSION_TYPE"))) {
        choice.source = std::make_unique<X11ScreenSource>();
        choice.note = "screen: X11";
        return choice;
    }

    std::string reason = messages::kNoScreenCastPortal;
    if (PortalScreenCast::available()) {
        PortalScreenSource::Opening opening =
            PortalScreenSource::open(workFolder + kRestoreTokenFile);
        if (opening.source) {
            choice.note = opening.source->pointerBesideFrames()
                              ? "screen: ScreenCast portal, pointer beside the frames"
                              : "screen: ScreenCast portal, pointer inside the frames";
            choice.source = std::move(opening.source);
            return choice;
        }
        if (opening.outcome == PortalOutcome::Refused)
            reason = messages::kScreenCastRefused;
        else if (opening.outcome == PortalOutcome::Failed)
            reason = messages::kScreenCastFailed + opening.detail;
        choice.note = "screen: ScreenCast portal not granted: " + opening.detail;
    } else {
        choice.note = "screen: Wayland session without a ScreenCast portal";
    }
    choice.source = std::make_unique<WaylandBlindScreen>(std::make_unique<X11ScreenSource>(),
                                                         std::move(reason));
    return choice;
}

} // namespace velmora

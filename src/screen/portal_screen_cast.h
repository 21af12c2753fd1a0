#pragma once
// The desktop's permission to read the screen on Wayland: the ScreenCast interface of
// xdg-desktop-portal on the session bus. One session shares one monitor; the desktop may ask the
// presenter once and then remember the answer under a restore token that the next run hands back.

#include <QDBusUnixFileDescriptor>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace velmora {

enum class PortalOutcome {
    Granted,
    NoPortal, // no portal with a ScreenCast interface on the session bus
    Refused,  // the presenter (or the desktop) said no
    Failed,   // the portal answered with an error or not in time
};

struct PortalRequestOptions {
    std::string restoreToken; // from the last run; empty on the first
    // Limit for the desktop's answer to Start, which may wait for the presenter's choice.
    std::chrono::milliseconds startLimit = std::chrono::minutes(5);
    // Limit for each of the other steps, which need nobody.
    std::chrono::milliseconds stepLimit = std::chrono::seconds(10);
};

class PortalScreenCast {
public:
    PortalScreenCast();
    // Closes the session: the desktop stops sharing the screen.
    ~PortalScreenCast();
    PortalScreenCast(const PortalScreenCast&) = delete;
    PortalScreenCast& operator=(const PortalScreenCast&) = delete;

    // True when the session bus has a portal offering ScreenCast. Needs a Qt application object.
    static bool available();

    // GUI thread, blocking (events are served meanwhile): CreateSession, SelectSources (one
    // monitor, remembered until revoked), Start, OpenPipeWireRemote.
    PortalOutcome open(const PortalRequestOptions& options);

    // After Granted: the PipeWire connection, the stream's node and what the desktop told.
    QDBusUnixFileDescriptor& pipeWire();
    std::uint32_t node() const;
    // Whether the pointer travels beside the frames (metadata) instead of inside them.
    bool cursorAsMetadata() const;
    // The token for the next run; empty when the desktop remembers nothing.
    const std::string& restoreToken() const;
    // What went wrong, for the log and messages (English from the portal, may be empty).
    const std::string& failureDetail() const;
    // Set once the desktop has ended the session (the presenter stopped sharing). Any thread.
    bool closedByDesktop() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace velmora

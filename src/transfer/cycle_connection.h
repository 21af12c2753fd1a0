#pragma once
// The connection that the presentation cycles share while a presentation runs. A new TLS
// handshake or SSH login costs several times what a picture's upload does, so the session stays
// open from one cycle to the next instead of ending with each cycle.
//
// A cycle gets a new connection, with the whole check of the server's key and any question that
// goes with it, whenever the login changes (server name and with it the transport, user name,
// password), after a cycle that did not keep it (one with a failure, or one that the presenter's
// Stop or Clear ended), and when the kept connection no longer answers, as after a server's idle
// time-out; the last is no failure of the cycle.

#include "transfer/ftp_session_types.h"
#include "transfer/server_session.h"
#include "transfer/server_trust.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

// What a kept connection must match to serve another cycle.
struct CycleLogin {
    std::string serverName;
    std::string userName;
    std::string password;
    // Clear's cycles end by then: a session limited to it is no session for a running
    // presentation, nor the other way round.
    std::optional<std::chrono::steady_clock::time_point> deadline;

    bool operator==(const CycleLogin&) const = default;
};

class CycleConnection {
public:
    explicit CycleConnection(FtpTimeouts timeouts = {});

    // One cycle's use of the connection. Unless the cycle keeps it, the connection ends with the
    // use, whichever way the cycle returns.
    class Use {
    public:
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

        FtpOpenResult result() const { return result_; }
        ServerSession& session() { return *owner_.session_; }
        // The cycle went through: the connection serves the next one.
        void keep() { keep_ = true; }

    private:
        friend class CycleConnection;
        Use(CycleConnection& owner, FtpOpenResult result) : owner_(owner), result_(result) {}

        CycleConnection& owner_;
        FtpOpenResult result_;
        bool keep_ = false;
    };

    // The kept session when it serves login and still answers; otherwise a new one opened with
    // trust, whose questions are asked here.
    [[nodiscard]] Use open(const CycleLogin& login, ServerTrust trust);
    // Any thread, at any time: the next open starts a new connection, as after Stop.
    void endBeforeNextCycle() { ended_ = true; }

private:
    void drop();

    FtpTimeouts timeouts_;
    std::unique_ptr<ServerSession> session_; // empty before the first open
    std::optional<CycleLogin> kept_; // what the open session serves; empty when none is open
    std::atomic<bool> ended_{false};
};

} // namespace velmora

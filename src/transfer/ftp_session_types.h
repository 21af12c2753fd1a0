#pragma once
// What the operations of an FTP or SFTP session take and give back.

namespace velmora {

enum class TransferType { Ascii, Binary };

enum class FtpRenameResult {
    Renamed,
    // The server took the source name (RNFR) but refused the new one (RNTO), as some servers do
    // when a file of the new name is already there.
    DestinationRefused,
    Failed, // the source name was refused, or the server did not answer
};

enum class FtpOpenResult {
    Connected,
    InternetUnavailable, // no network library handle could be made
    // Connect or login failed, the server name is unusable, or the server is not trusted.
    ServerUnreachable,
    // The server showed another key than the one remembered for it: untrustedServer() says both.
    ServerKeyChanged,
    // The server showed a key that a known-hosts file revokes: untrustedServer() names it.
    ServerKeyRevoked,
};

// Every wait on the server is bounded, so that a dead or stalled server ends the step as an
// ordinary failure instead of hanging a presentation cycle or Clear for ever.
struct FtpTimeouts {
    long connectSeconds = 20;  // TCP connect, greeting and login together
    long responseSeconds = 30; // any single reply of the server
    long stallSeconds = 30;    // a data transfer that moves no byte for this long
};

} // namespace velmora

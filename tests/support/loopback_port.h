#pragma once
// TCP ports on 127.0.0.1, where every server of the tests listens.

namespace velmora::test {

// A port that was free a moment ago.
int freeLocalPort();

// Whether a server accepts connections on the port now.
bool acceptsConnections(int port);
// The same on ::1; false where the machine has no IPv6 loopback.
bool acceptsIpv6Connections(int port);

} // namespace velmora::test

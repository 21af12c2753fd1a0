#pragma once
// TCP ports on 127.0.0.1, where every server of the tests listens.

namespace velmora::test {

// A port that was free a moment ago.
int freeLocalPort();

// Whether a server accepts connections on the port now.
bool acceptsConnections(int port);

} // namespace velmora::test

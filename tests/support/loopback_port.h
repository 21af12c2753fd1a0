#pragma once
// TCP ports on 127.0.0.1, where every server of the tests listens.

#include <string>

namespace velmora::test {

// A port that was free a moment ago.
int freeLocalPort();

// Whether a server accepts connections on the port now.
bool acceptsConnections(int port);
// Whether a server on the port sends a greeting that begins with start within limitMs: a
// restarted server may accept before it can serve.
bool greetsWith(int port, const std::string& start, int limitMs);
// Whether a server accepts connections on ::1 now; false where the machine has no IPv6 loopback.
bool acceptsIpv6Connections(int port);

} // namespace velmora::test

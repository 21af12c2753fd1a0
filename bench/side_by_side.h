#pragma once
// What the benchmarks that run the program and the peer pipeline side by side share: the check
// that everything they start is there, and the FTP server both upload to.

#include "support/ftp_server_fixture.h" // tests/support

#include <memory>
#include <string>

namespace velmora::bench {

// 0 when the benchmark can run; otherwise it says why and returns the exit code: 2 for a command
// line it could not read (printing `usage` after the benchmark's name), 1 for a missing program
// or tool.
int sideBySideCheck(bool optionsRead, const char* self, const char* usage,
                    const std::string& program);

// A server on 127.0.0.1 with the program's folder "bench/" and the peer's "peer/", keeping no
// copies of earlier versions (they would cost it time in every measured upload).
std::unique_ptr<test::FtpServer> startSideBySideServer();

} // namespace velmora::bench

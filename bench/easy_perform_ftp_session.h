#pragma once
// The FTP session as velmora ran it before its own transfer loop: one libcurl easy handle, a
// login-only request, then each upload by curl_easy_perform over the same control connection.
// Kept as a contender so that a run shows what the loop saves.

#include <string>

namespace velmora::bench {

// One session: log in to 127.0.0.1:port, upload the picture (binary) and the page (ASCII) under
// the remote folder, close. False when a step failed.
bool runEasyPerformSession(int port, const std::string& remoteFolder,
                           const std::string& picturePath, const std::string& pagePath);

} // namespace velmora::bench

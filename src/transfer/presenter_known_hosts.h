#pragma once
// Where OpenSSH keeps the presenter's own known host keys: ~/.ssh/known_hosts on Linux,
// %USERPROFILE%\.ssh\known_hosts on Windows (OpenSSH for Windows).

#include <string>

namespace velmora {

// Empty where the home folder is not known.
std::string presenterKnownHostsFile();

} // namespace velmora

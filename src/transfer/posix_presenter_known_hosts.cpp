#include "transfer/presenter_known_hosts.h"

#include <cstdlib>

namespace velmora {

std::string presenterKnownHostsFile()
{
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != '\0' ? std::string(home) + "/.ssh/known_hosts"
                                            : std::string();
}

} // namespace velmora

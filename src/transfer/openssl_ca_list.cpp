#include "transfer/ca_list.h"

namespace velmora {

// OpenSSL finds the system's store (/etc/ssl/certs) by itself, which the distribution keeps up
// to date.
std::string caListFile()
{
    return {};
}

} // namespace velmora

#include "transfer/socket_wait.h"

#include <winsock2.h>

namespace velmora {

bool curlOffersNoSocket(CURLM* multi)
{
    // Winsock's fd_set is a list of sockets rather than a bit field; curl_multi_fdset fills it
    // the same way, and "highest" stays -1 when there is none.
    fd_set readable, writable, failed;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    int highest = -1;
    if (curl_multi_fdset(multi, &readable, &writable, &failed, &highest) != CURLM_OK)
        return false;
    return highest < 0;
}

} // namespace velmora

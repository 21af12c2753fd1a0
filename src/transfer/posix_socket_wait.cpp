#include "transfer/socket_wait.h"

#include <sys/select.h>

namespace velmora {

bool curlOffersNoSocket(CURLM* multi)
{
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

#pragma once
// The one question of the transfer loop that needs the platform's socket sets: whether libcurl
// has a socket for the loop to wait on at all. posix_socket_wait.cpp answers it here (a Windows
// build brings win32_socket_wait.cpp, with winsock2's fd_set).

#include <curl/curl.h>

namespace velmora {

// True when libcurl has no socket for us to wait on. A socket number above FD_SETSIZE is not
// reported by curl_multi_fdset; it then only shortens the wait, because the wait itself polls
// every socket of libcurl.
bool curlOffersNoSocket(CURLM* multi);

} // namespace velmora

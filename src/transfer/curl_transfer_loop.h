#pragma once
// Runs one libcurl transfer to its end on a multi handle that outlives it, so that the next
// transfer of the same easy handle reuses the control connection kept in that multi handle.
//
// It does what curl_easy_perform does, with one difference: it never sleeps while libcurl has no
// socket to wait on. libcurl 7.88 gets into that state after an FTP EPSV or PASV reply that it
// reads in the same pass that sent the command: it notes that the data connection is still to be
// opened, but only opens it in its next pass, and offers nothing to wait for meanwhile.
// curl_easy_perform then sleeps until libcurl's next timer or for a whole second, which on a
// reused control connection (no timer left) is the whole second. Here libcurl is run again at
// once instead.

#include "transfer/transfer_loop_counters.h"

#include <chrono>

#include <curl/curl.h>

namespace velmora {

// Adds easy to multi, runs it to its end and removes it again. The result is the transfer's own
// code, or an error when the multi handle failed. What the loop saw is added to counters. A wait
// never lasts longer than one second, as in curl_easy_perform, so that libcurl checks its reply and
// stall time-outs at least that often.
//
// A quiet limit above zero ends the transfer with CURLE_OPERATION_TIMEDOUT once that long has
// passed without a sign of the server: none of the sockets libcurl waits on became ready. A pass
// after which libcurl waits on no socket at all counts as a sign, since libcurl is then between
// steps of its own rather than waiting for the server. This bounds the waits for which libcurl
// has no time-out of its own, such as the replies of an SSH server (libcurl 7.88, libssh2 1.10).
CURLcode runTransfer(CURLM* multi, CURL* easy, TransferLoopCounters* counters = nullptr,
                     std::chrono::milliseconds quietLimit = std::chrono::milliseconds::zero());

} // namespace velmora

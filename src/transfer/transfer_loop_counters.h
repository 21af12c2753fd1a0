#pragma once
// What the transfer loop saw while it ran libcurl, for tests and measurements.

namespace velmora {

struct TransferLoopCounters {
    int passes = 0;         // calls of curl_multi_perform
    int noSocketPasses = 0; // passes after which libcurl offered no socket to wait on
    int blindWaits = 0;     // sleeps taken while libcurl offered no socket (its back-off)
};

} // namespace velmora

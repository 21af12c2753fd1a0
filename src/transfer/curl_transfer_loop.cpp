#include "transfer/curl_transfer_loop.h"

#include "transfer/socket_wait.h"

#include <algorithm>

namespace velmora {
namespace {

// The longest single wait, the same as curl_easy_perform's.
constexpr long kLongestWaitMs = 1000;
// While libcurl offers no socket, the waits grow from none at all to this.
constexpr long kLongestBlindWaitMs = 100;

CURLcode asTransferError(CURLMcode code)
{
    return code == CURLM_OUT_OF_MEMORY ? CURLE_OUT_OF_MEMORY : CURLE_BAD_FUNCTION_ARGUMENT;
}

} // namespace

CURLcode runTransfer(CURLM* multi, CURL* easy, TransferLoopCounters* counters)
{
    TransferLoopCounters ignored;
    TransferLoopCounters& seen = counters ? *counters : ignored;
    if (const CURLMcode added = curl_multi_add_handle(multi, easy); added != CURLM_OK)
        return asTransferError(added);

    CURLcode result = CURLE_OK;
    long nextBlindWaitMs = 0;
    for (;;) {
        int running = 0;
        ++seen.passes;
        if (const CURLMcode performed = curl_multi_perform(multi, &running);
            performed != CURLM_OK) {
            result = asTransferError(performed);
            break;
        }
        if (running == 0)
            break;

        long waitMs = -1;
        if (curl_multi_timeout(multi, &waitMs) != CURLM_OK || waitMs < 0 || waitMs > kLongestWaitMs)
            waitMs = kLongestWaitMs;
        if (curlOffersNoSocket(multi)) {
            ++seen.noSocketPasses;
            waitMs = std::min(waitMs, nextBlindWaitMs);
            nextBlindWaitMs = std::clamp(nextBlindWaitMs * 2, 1L, kLongestBlindWaitMs);
            if (waitMs > 0)
                ++seen.blindWaits;
        } else {
            nextBlindWaitMs = 0;
        }
        if (waitMs > 0) {
            if (const CURLMcode waited =
                    curl_multi_poll(multi, nullptr, 0, static_cast<int>(waitMs), nullptr);
                waited != CURLM_OK) {
                result = asTransferError(waited);
                break;
            }
        }
    }

    if (result == CURLE_OK) {
        result = CURLE_FAILED_INIT; // no end reported: should not happen
        int left = 0;
        while (const CURLMsg* message = curl_multi_info_read(multi, &left))
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
                result = message->data.result;
    }
    curl_multi_remove_handle(multi, easy);
    return result;
}

} // namespace velmora

#include "transfer/curl_transfer_loop.h"

#include "transfer/socket_wait.h"

#include <algorithm>

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;

// The longest single wait, the same as curl_easy_perform's.
constexpr long kLongestWaitMs = 1000;
// While libcurl offers no socket, the waits grow from none at all to this.
constexpr long kLongestBlindWaitMs = 100;

CURLcode asTransferError(CURLMcode code)
{
    return code == CURLM_OUT_OF_MEMORY ? CURLE_OUT_OF_MEMORY : CURLE_BAD_FUNCTION_ARGUMENT;
}

// When the server last gave a sign, and how long it may stay quiet.
struct QuietWatch {
    std::chrono::milliseconds limit;
    Clock::time_point lastSign = Clock::now();

    bool limited() const { return limit > std::chrono::milliseconds::zero(); }
    std::chrono::milliseconds left() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(lastSign + limit -
                                                                     Clock::now());
    }
};

// libcurl's progress callback. libcurl waits for the close of an uploaded file inside a single
// call of its own, when the upload ends and when a transfer under way is removed, bounded only by
// its own time-outs; it calls this meanwhile, which gives the transfer up once the server has
// been quiet too long.
int giveUpWhenQuiet(void* watch, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const QuietWatch*>(watch)->left() <= std::chrono::milliseconds::zero();
}

} // namespace

CURLcode runTransfer(CURLM* multi, CURL* easy, TransferLoopCounters* counters,
                     std::chrono::milliseconds quietLimit)
{
    TransferLoopCounters ignored;
    TransferLoopCounters& seen = counters ? *counters : ignored;
    QuietWatch quiet{quietLimit};
    if (quiet.limited()) {
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, giveUpWhenQuiet);
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &quiet);
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    }
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
        // libcurl busy with what it already has (a timer due now, no socket to wait on) is not
        // waiting for the server.
        if (waitMs == 0)
            quiet.lastSign = Clock::now();
        if (curlOffersNoSocket(multi)) {
            ++seen.noSocketPasses;
            quiet.lastSign = Clock::now();
            waitMs = std::min(waitMs, nextBlindWaitMs);
            nextBlindWaitMs = std::clamp(nextBlindWaitMs * 2, 1L, kLongestBlindWaitMs);
            if (waitMs > 0)
                ++seen.blindWaits;
        } else {
            nextBlindWaitMs = 0;
        }
        if (quiet.limited()) {
            const std::chrono::milliseconds left = quiet.left();
            if (left <= std::chrono::milliseconds::zero()) {
                // The removal below ends the transfer; the callback keeps it from waiting.
                result = CURLE_OPERATION_TIMEDOUT;
                break;
            }
            waitMs = std::min(waitMs, static_cast<long>(left.count()));
        }
        if (waitMs > 0) {
            int ready = 0;
            if (const CURLMcode waited =
                    curl_multi_poll(multi, nullptr, 0, static_cast<int>(waitMs), &ready);
                waited != CURLM_OK) {
                result = asTransferError(waited);
                break;
            }
            if (ready > 0)
                quiet.lastSign = Clock::now();
        }
    }

    if (result == CURLE_OK) {
        result = CURLE_FAILED_INIT; // no end reported: should not happen
        int left = 0;
        while (const CURLMsg* message = curl_multi_info_read(multi, &left))
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
                result = message->data.result;
        // Given up by the callback: the server was quiet for too long.
        if (result == CURLE_ABORTED_BY_CALLBACK && quiet.limited())
            result = CURLE_OPERATION_TIMEDOUT;
    }
    curl_multi_remove_handle(multi, easy);
    if (quiet.limited()) {
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 1L);
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, nullptr);
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, nullptr);
    }
    return result;
}

} // namespace velmora

#include "transfer/curl_transfer_loop.h"

#include "transfer/socket_wait.h"

#include <algorithm>
#include <optional>

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

// The passes of libcurl over one transfer, and the waits between them.
class TransferPasses {
public:
    TransferPasses(CURLM* multi, TransferLoopCounters& seen, QuietWatch& quiet)
        : multi_(multi), seen_(seen), quiet_(quiet)
    {
    }

    // Runs libcurl until the transfer ends: CURLE_OK then, else why the passes gave up.
    CURLcode run()
    {
        for (;;) {
            int running = 0;
            ++seen_.passes;
            if (const CURLMcode performed = curl_multi_perform(multi_, &running);
                performed != CURLM_OK)
                return asTransferError(performed);
            if (running == 0)
                return CURLE_OK;
            const std::optional<long> waitMs = waitAfterPass();
            // Quiet too long: the removal ends the transfer, the callback keeps it from waiting.
            if (!waitMs)
                return CURLE_OPERATION_TIMEDOUT;
            if (*waitMs > 0)
                if (const CURLcode waited = waitForSockets(*waitMs); waited != CURLE_OK)
                    return waited;
        }
    }

private:
    // How long to wait for the sockets after a pass; empty when the server was quiet too long.
    std::optional<long> waitAfterPass()
    {
        long waitMs = -1;
        if (curl_multi_timeout(multi_, &waitMs) != CURLM_OK || waitMs < 0 ||
            waitMs > kLongestWaitMs)
            waitMs = kLongestWaitMs;
        // libcurl busy with what it already has (a timer due now, no socket to wait on) is not
        // waiting for the server.
        if (waitMs == 0)
            quiet_.lastSign = Clock::now();
        waitMs = withoutSockets(waitMs);
        if (!quiet_.limited())
            return waitMs;
        const std::chrono::milliseconds left = quiet_.left();
        if (left <= std::chrono::milliseconds::zero())
            return std::nullopt;
        return std::min(waitMs, static_cast<long>(left.count()));
    }

    // While libcurl offers no socket, the waits grow from none at all, so that it runs again at
    // once after an EPSV reply instead of after a whole second.
    long withoutSockets(long waitMs)
    {
        if (!curlOffersNoSocket(multi_)) {
            nextBlindWaitMs_ = 0;
            return waitMs;
        }
        ++seen_.noSocketPasses;
        quiet_.lastSign = Clock::now();
        waitMs = std::min(waitMs, nextBlindWaitMs_);
        nextBlindWaitMs_ = std::clamp(nextBlindWaitMs_ * 2, 1L, kLongestBlindWaitMs);
        if (waitMs > 0)
            ++seen_.blindWaits;
        return waitMs;
    }

    CURLcode waitForSockets(long waitMs)
    {
        int ready = 0;
        if (const CURLMcode waited =
                curl_multi_poll(multi_, nullptr, 0, static_cast<int>(waitMs), &ready);
            waited != CURLM_OK)
            return asTransferError(waited);
        if (ready > 0)
            quiet_.lastSign = Clock::now();
        return CURLE_OK;
    }

    CURLM* multi_;
    TransferLoopCounters& seen_;
    QuietWatch& quiet_;
    long nextBlindWaitMs_ = 0;
};

// The end libcurl reported for easy.
CURLcode transferResult(CURLM* multi, CURL* easy, const QuietWatch& quiet)
{
    CURLcode result = CURLE_FAILED_INIT; // no end reported: should not happen
    int left = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi, &left))
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
            result = message->data.result;
    // Given up by the callback: the server was quiet for too long.
    if (result == CURLE_ABORTED_BY_CALLBACK && quiet.limited())
        result = CURLE_OPERATION_TIMEDOUT;
    return result;
}

void watchQuiet(CURL* easy, QuietWatch* quiet)
{
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, quiet ? giveUpWhenQuiet : nullptr);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, quiet);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, quiet ? 0L : 1L);
}

} // namespace

CURLcode runTransfer(CURLM* multi, CURL* easy, TransferLoopCounters* counters,
                     std::chrono::milliseconds quietLimit)
{
    TransferLoopCounters ignored;
    QuietWatch quiet{quietLimit};
    if (quiet.limited())
        watchQuiet(easy, &quiet);
    CURLcode result = CURLE_OK;
    if (const CURLMcode added = curl_multi_add_handle(multi, easy); added != CURLM_OK) {
        result = asTransferError(added);
    } else {
        result = TransferPasses(multi, counters ? *counters : ignored, quiet).run();
        if (result == CURLE_OK)
            result = transferResult(multi, easy, quiet);
        curl_multi_remove_handle(multi, easy);
    }
    // The watch ends here: libcurl must not call back into it later.
    if (quiet.limited())
        watchQuiet(easy, nullptr);
    return result;
}

} // namespace velmora

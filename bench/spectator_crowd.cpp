#include "spectator_crowd.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <random>
#include <unordered_map>
#include <unordered_set>

namespace velmora::bench {
namespace {

using Clock = std::chrono::steady_clock;
using Easy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using Multi = std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)>;

std::int64_t browserNowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// What one spectator's viewer script holds between its timers.
struct Spectator {
    Clock::time_point due; // the next data page load
    bool pageLoading = false;
    int refreshMs = 0;
    int requestCount = 0;
    std::string shownKey;
    std::string wantedKey;
    int loadSerial = 0;
    int shownSerial = 0;
};

struct Transfer {
    Easy easy{nullptr, &curl_easy_cleanup};
    int spectator = 0;
    bool picture = false;
    std::string key;
    int serial = 0;
    bool keep = true; // the body is wanted, not only its size
    std::size_t size = 0;
    std::string body;
};

std::size_t collect(char* data, std::size_t size, std::size_t count, void* transfer)
{
    auto* t = static_cast<Transfer*>(transfer);
    t->size += size * count;
    if (t->keep)
        t->body.append(data, size * count);
    return size * count;
}

} // namespace

SpectatorCrowd::SpectatorCrowd(std::string folderUrl, int count, ViewerPattern pattern,
                               int openingMs, unsigned seed)
    : folderUrl_(std::move(folderUrl)), count_(count), pattern_(pattern),
      openingMs_(std::max(1, openingMs)), seed_(seed),
      thread_([this](std::stop_token stop) { run(stop); })
{
}

SpectatorCrowd::~SpectatorCrowd()
{
    stop();
}

void SpectatorCrowd::stop()
{
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

std::vector<PictureArrival> SpectatorCrowd::arrivals() const
{
    std::lock_guard lock(mutex_);
    return arrivals_;
}

std::map<std::string, std::string> SpectatorCrowd::pictures() const
{
    std::lock_guard lock(mutex_);
    return pictures_;
}

void SpectatorCrowd::run(std::stop_token stop)
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Multi multi(ready ? curl_multi_init() : nullptr, &curl_multi_cleanup);
    if (!multi)
        return;
    // Browsers keep their connections open between loads; so does the crowd, shared.
    curl_multi_setopt(multi.get(), CURLMOPT_MAXCONNECTS, static_cast<long>(count_) * 2);

    const auto opened = Clock::now();
    std::mt19937 random(seed_);
    std::uniform_int_distribution<int> arrival(0, openingMs_ - 1);
    std::vector<Spectator> spectators(static_cast<std::size_t>(count_));
    for (auto& s : spectators) {
        s.refreshMs = kViewerStartRefreshMs;
        s.due = opened + std::chrono::milliseconds(arrival(random));
    }
    std::unordered_map<CURL*, std::unique_ptr<Transfer>> transfers;
    // Picture contents already kept: a thousand spectators need not copy each picture again.
    std::unordered_set<std::string> kept;

    const auto begin = [&](int index, bool picture, const std::string& address, std::string key,
                           int serial, long timeoutMs) {
        auto t = std::make_unique<Transfer>();
        t->easy.reset(curl_easy_init());
        if (!t->easy) {
            ++failures_;
            return false;
        }
        t->spectator = index;
        t->picture = picture;
        t->key = std::move(key);
        t->serial = serial;
        t->keep = !picture || !kept.count(t->key);
        CURL* h = t->easy.get();
        const std::string url = folderUrl_ + address;
        curl_easy_setopt(h, CURLOPT_URL, url.c_str());
        curl_easy_setopt(h, CURLOPT_NOPROXY, "*");
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, timeoutMs);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &collect);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, t.get());
        if (curl_multi_add_handle(multi.get(), h) != CURLM_OK) {
            ++failures_;
            return false;
        }
        ++requests_;
        transfers.emplace(h, std::move(t));
        return true;
    };

    const auto loadPage = [&](int index) {
        Spectator& s = spectators[static_cast<std::size_t>(index)];
        ++s.requestCount;
        const std::string address =
            dataPageAddress(pattern_, browserNowMs(), s.refreshMs, s.requestCount);
        // The old script's watchdog: a load that never ends is given up after this long.
        const long timeoutMs = std::max(10000, s.refreshMs * 5);
        s.pageLoading = begin(index, false, address, {}, 0, timeoutMs);
        if (!s.pageLoading)
            s.due = Clock::now() + std::chrono::milliseconds(timeoutMs);
    };

    const auto pageArrived = [&](Transfer& t, bool ok, bool timedOut, Clock::time_point now) {
        Spectator& s = spectators[static_cast<std::size_t>(t.spectator)];
        s.pageLoading = false;
        const auto page = ok ? parseDataPage(t.body) : std::nullopt;
        if (page)
            s.refreshMs = viewerRefreshMs(page->refreshMs);
        // The next load is due an interval after this one ended, or at once after the watchdog
        // gave up on it.
        s.due = timedOut ? now : now + std::chrono::milliseconds(s.refreshMs);
        if (!page)
            return;
        const std::string key = page->pictureKey();
        if (key == s.shownKey) {
            // The shared pattern's viewer drops a picture still on its way once the data page
            // names the one on screen again.
            if (pattern_ == ViewerPattern::Shared) {
                s.shownSerial = s.loadSerial;
                s.wantedKey.clear();
            }
            return;
        }
        if (key == s.wantedKey)
            return;
        s.wantedKey = key;
        ++s.requestCount;
        if (!begin(t.spectator, true,
                   pictureAddress(pattern_, *page, browserNowMs(), s.requestCount), key,
                   ++s.loadSerial, 60000))
            s.wantedKey.clear();
    };

    const auto pictureArrived = [&](Transfer& t, bool ok, Clock::time_point now) {
        Spectator& s = spectators[static_cast<std::size_t>(t.spectator)];
        // An older load that ends after a newer one was shown is dropped, as the viewer does.
        const bool newer = pattern_ == ViewerPattern::Shared ? t.serial > s.shownSerial
                                                             : t.serial >= s.shownSerial;
        if (ok && t.size > 0 && newer) {
            s.shownSerial = t.serial;
            s.shownKey = t.key;
            std::lock_guard lock(mutex_);
            arrivals_.push_back({t.spectator, now, t.key});
            if (t.keep && kept.insert(t.key).second)
                pictures_.emplace(t.key, std::move(t.body));
        }
        if (s.wantedKey == t.key)
            s.wantedKey.clear();
    };

    while (!stop.stop_requested()) {
        auto now = Clock::now();
        auto wake = now + std::chrono::milliseconds(50);
        for (int i = 0; i < count_; ++i) {
            Spectator& s = spectators[static_cast<std::size_t>(i)];
            if (s.pageLoading)
                continue;
            if (s.due <= now)
                loadPage(i);
            else
                wake = std::min(wake, s.due);
        }
        int running = 0;
        curl_multi_perform(multi.get(), &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            const auto found = transfers.find(message->easy_handle);
            if (found == transfers.end())
                continue;
            std::unique_ptr<Transfer> t = std::move(found->second);
            transfers.erase(found);
            long status = 0;
            curl_easy_getinfo(t->easy.get(), CURLINFO_RESPONSE_CODE, &status);
            const bool ok = message->data.result == CURLE_OK && status == 200;
            const bool timedOut = message->data.result == CURLE_OPERATION_TIMEDOUT;
            curl_multi_remove_handle(multi.get(), t->easy.get());
            if (!ok)
                ++failures_;
            bytes_ += static_cast<long long>(t->size);
            now = Clock::now();
            if (t->picture)
                pictureArrived(*t, ok, now);
            else
                pageArrived(*t, ok, timedOut, now);
        }
        const auto wait =
            std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now());
        curl_multi_poll(multi.get(), nullptr, 0,
                        static_cast<int>(std::clamp<long long>(wait.count(), 0, 50)), nullptr);
    }
    for (auto& [handle, t] : transfers)
        curl_multi_remove_handle(multi.get(), handle);
}

} // namespace velmora::bench

#pragma once
// Whether the viewer page is on the server for the settings in force. Applying the settings asks
// for it again while a cycle may be uploading it for the old ones; the cycle marks it sent only
// when no apply came in between, so a new folder always gets its page.

#include <atomic>
#include <cstdint>
#include <optional>

namespace velmora {

class ViewerPageFlag {
public:
    // Before a cycle uploads the page: the apply it uploads for, or empty when the page is
    // already on the server.
    std::optional<std::uint64_t> pendingApply() const
    {
        const std::uint64_t word = word_.load();
        if (word & kSent)
            return std::nullopt;
        return word;
    }
    // After the upload went through.
    void markSent(std::uint64_t apply)
    {
        std::uint64_t expected = apply;
        word_.compare_exchange_strong(expected, apply | kSent);
    }
    // Applying the settings, or Clear: the next cycle sends the page again.
    void requestResend()
    {
        std::uint64_t word = word_.load();
        while (!word_.compare_exchange_weak(word, ((word >> 1) + 1) << 1)) {
        }
    }
    bool sent() const { return (word_.load() & kSent) != 0; }

private:
    // Apply count in the upper bits, "sent" in the lowest: both change in one step.
    static constexpr std::uint64_t kSent = 1;
    std::atomic<std::uint64_t> word_{0};
};

} // namespace velmora

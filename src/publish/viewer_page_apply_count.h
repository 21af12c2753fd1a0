#pragma once
// How often the settings were applied, and whether the viewer page for the latest apply is on
// the server. Applying asks for the page again while a cycle may be uploading it for the old
// settings; the cycle marks its upload sent only for the apply it uploaded for, so a new folder
// always gets its page.

#include <atomic>
#include <cstdint>
#include <optional>

namespace velmora {

class ViewerPageApplyCount {
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
    // Applying the settings: the next cycle sends the page again.
    void countApply()
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

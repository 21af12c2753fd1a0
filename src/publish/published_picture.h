#pragma once
// The picture part of the record of what the spectators have: the number (the capture's own) of
// the picture that the data page on the server names, or 0 when that is not known. Forgetting
// moves a generation on, so that a cycle that was under way meanwhile cannot bring the old
// knowledge back: it records only for the generation it began with.

#include <atomic>
#include <cstdint>

namespace velmora {

class PublishedPicture {
public:
    struct Known {
        std::uint32_t generation = 0;
        std::uint32_t picture = 0; // 0: unknown
    };

    Known known() const
    {
        const std::uint64_t word = word_.load();
        return {static_cast<std::uint32_t>(word >> 32), static_cast<std::uint32_t>(word)};
    }
    // After a cycle put picture and its data page up; since is what known() gave when it began.
    // Nothing is recorded when the knowledge was forgotten meanwhile.
    void record(Known since, std::uint32_t picture)
    {
        std::uint64_t expected = pack(since.generation, since.picture);
        word_.compare_exchange_strong(expected, pack(since.generation, picture));
    }
    void forget()
    {
        std::uint64_t word = word_.load();
        while (!word_.compare_exchange_weak(word,
                                            pack(static_cast<std::uint32_t>(word >> 32) + 1, 0))) {
        }
    }

private:
    static std::uint64_t pack(std::uint32_t generation, std::uint32_t picture)
    {
        return std::uint64_t{generation} << 32 | picture;
    }
    // Generation in the upper half, picture in the lower: both change in one step.
    std::atomic<std::uint64_t> word_{0};
};

} // namespace velmora

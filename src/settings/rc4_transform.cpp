#include "settings/credential_scrambling.h"

#include <array>
#include <utility>

namespace velmora {

void Rc4Transform(char* buffer, std::size_t length, std::string_view key)
{
    std::array<unsigned char, 256> state{};
    for (std::size_t i = 0; i < state.size(); ++i)
        state[i] = static_cast<unsigned char>(i);
    // Key schedule. The program's keys are never empty; an empty one counts as zero bytes rather
    // than dividing by its length.
    unsigned j = 0;
    for (std::size_t i = 0; i < state.size(); ++i) {
        const auto keyByte = key.empty() ? 0u : static_cast<unsigned char>(key[i % key.size()]);
        j = (j + state[i] + keyByte) & 0xFF;
        std::swap(state[i], state[j]);
    }
    // Keystream.
    unsigned i = 0;
    j = 0;
    for (std::size_t n = 0; n < length; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + state[i]) & 0xFF;
        std::swap(state[i], state[j]);
        buffer[n] = static_cast<char>(static_cast<unsigned char>(buffer[n]) ^
                                      state[(state[i] + state[j]) & 0xFF]);
    }
}

} // namespace velmora

#include "server_tools/des_crypt.h"

#include <array>
#include <cstdint>

namespace velmora {
namespace {

// The DES tables as published, positions counted from 1. Bits are kept one per byte: the hash is
// computed once per button press, so clarity matters more than speed here.
using Bits64 = std::array<std::uint8_t, 64>;

// clang-format off
constexpr std::uint8_t kInitialPermutation[64] = {
    58, 50, 42, 34, 26, 18, 10,  2,
    60, 52, 44, 36, 28, 20, 12,  4,
    62, 54, 46, 38, 30, 22, 14,  6,
    64, 56, 48, 40, 32, 24, 16,  8,
    57, 49, 41, 33, 25, 17,  9,  1,
    59, 51, 43, 35, 27, 19, 11,  3,
    61, 53, 45, 37, 29, 21, 13,  5,
    63, 55, 47, 39, 31, 23, 15,  7};

constexpr std::uint8_t kFinalPermutation[64] = {
    40,  8, 48, 16, 56, 24, 64, 32,
    39,  7, 47, 15, 55, 23, 63, 31,
    38,  6, 46, 14, 54, 22, 62, 30,
    37,  5, 45, 13, 53, 21, 61, 29,
    36,  4, 44, 12, 52, 20, 60, 28,
    35,  3, 43, 11, 51, 19, 59, 27,
    34,  2, 42, 10, 50, 18, 58, 26,
    33,  1, 41,  9, 49, 17, 57, 25};

constexpr std::uint8_t kExpansion[48] = {
    32,  1,  2,  3,  4,  5,
     4,  5,  6,  7,  8,  9,
     8,  9, 10, 11, 12, 13,
    12, 13, 14, 15, 16, 17,
    16, 17, 18, 19, 20, 21,
    20, 21, 22, 23, 24, 25,
    24, 25, 26, 27, 28, 29,
    28, 29, 30, 31, 32,  1};

constexpr std::uint8_t kRoundPermutation[32] = {
    16,  7, 20, 21, 29, 12, 28, 17,
     1, 15, 23, 26,  5, 18, 31, 10,
     2,  8, 24, 14, 32, 27,  3,  9,
    19, 13, 30,  6, 22, 11,  4, 25};

constexpr std::uint8_t kKeyChoice1[56] = {
    57, 49, 41, 33, 25, 17,  9,
     1, 58, 50, 42, 34, 26, 18,
    10,  2, 59, 51, 43, 35, 27,
    19, 11,  3, 60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15,
     7, 62, 54, 46, 38, 30, 22,
    14,  6, 61, 53, 45, 37, 29,
    21, 13,  5, 28, 20, 12,  4};

constexpr std::uint8_t kKeyChoice2[48] = {
    14, 17, 11, 24,  1,  5,
     3, 28, 15,  6, 21, 10,
    23, 19, 12,  4, 26,  8,
    16,  7, 27, 20, 13,  2,
    41, 52, 31, 37, 47, 55,
    30, 40, 51, 45, 33, 48,
    44, 49, 39, 56, 34, 53,
    46, 42, 50, 36, 29, 32};

constexpr std::uint8_t kKeyShifts[16] = {
     1,  1,  2,  2,  2,  2,  2,  2,  1,  2,  2,  2,  2,  2,  2,  1};

constexpr std::uint8_t kSubstitution[8][64] = {
    {14,  4, 13,  1,  2, 15, 11,  8,  3, 10,  6, 12,  5,  9,  0,  7,
      0, 15,  7,  4, 14,  2, 13,  1, 10,  6, 12, 11,  9,  5,  3,  8,
      4,  1, 14,  8, 13,  6,  2, 11, 15, 12,  9,  7,  3, 10,  5,  0,
     15, 12,  8,  2,  4,  9,  1,  7,  5, 11,  3, 14, 10,  0,  6, 13},
    {15,  1,  8, 14,  6, 11,  3,  4,  9,  7,  2, 13, 12,  0,  5, 10,
      3, 13,  4,  7, 15,  2,  8, 14, 12,  0,  1, 10,  6,  9, 11,  5,
      0, 14,  7, 11, 10,  4, 13,  1,  5,  8, 12,  6,  9,  3,  2, 15,
     13,  8, 10,  1,  3, 15,  4,  2, 11,  6,  7, 12,  0,  5, 14,  9},
    {10,  0,  9, 14,  6,  3, 15,  5,  1, 13, 12,  7, 11,  4,  2,  8,
     13,  7,  0,  9,  3,  4,  6, 10,  2,  8,  5, 14, 12, 11, 15,  1,
     13,  6,  4,  9,  8, 15,  3,  0, 11,  1,  2, 12,  5, 10, 14,  7,
      1, 10, 13,  0,  6,  9,  8,  7,  4, 15, 14,  3, 11,  5,  2, 12},
    { 7, 13, 14,  3,  0,  6,  9, 10,  1,  2,  8,  5, 11, 12,  4, 15,
     13,  8, 11,  5,  6, 15,  0,  3,  4,  7,  2, 12,  1, 10, 14,  9,
     10,  6,  9,  0, 12, 11,  7, 13, 15,  1,  3, 14,  5,  2,  8,  4,
      3, 15,  0,  6, 10,  1, 13,  8,  9,  4,  5, 11, 12,  7,  2, 14},
    { 2, 12,  4,  1,  7, 10, 11,  6,  8,  5,  3, 15, 13,  0, 14,  9,
     14, 11,  2, 12,  4,  7, 13,  1,  5,  0, 15, 10,  3,  9,  8,  6,
      4,  2,  1, 11, 10, 13,  7,  8, 15,  9, 12,  5,  6,  3,  0, 14,
     11,  8, 12,  7,  1, 14,  2, 13,  6, 15,  0,  9, 10,  4,  5,  3},
    {12,  1, 10, 15,  9,  2,  6,  8,  0, 13,  3,  4, 14,  7,  5, 11,
     10, 15,  4,  2,  7, 12,  9,  5,  6,  1, 13, 14,  0, 11,  3,  8,
      9, 14, 15,  5,  2,  8, 12,  3,  7,  0,  4, 10,  1, 13, 11,  6,
      4,  3,  2, 12,  9,  5, 15, 10, 11, 14,  1,  7,  6,  0,  8, 13},
    { 4, 11,  2, 14, 15,  0,  8, 13,  3, 12,  9,  7,  5, 10,  6,  1,
     13,  0, 11,  7,  4,  9,  1, 10, 14,  3,  5, 12,  2, 15,  8,  6,
      1,  4, 11, 13, 12,  3,  7, 14, 10, 15,  6,  8,  0,  5,  9,  2,
      6, 11, 13,  8,  1,  4, 10,  7,  9,  5,  0, 15, 14,  2,  3, 12},
    {13,  2,  8,  4,  6, 15, 11,  1, 10,  9,  3, 14,  5,  0, 12,  7,
      1, 15, 13,  8, 10,  3,  7,  4, 12,  5,  6, 11,  0, 14,  9,  2,
      7, 11,  4,  1,  9, 12, 14,  2,  0,  6, 10, 13, 15,  3,  5,  8,
      2,  1, 14,  7,  4, 10,  8, 13, 15, 12,  9,  0,  3,  5,  6, 11}};
// clang-format on

constexpr char kAlphabet[] = "./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

int alphabetIndex(char c)
{
    for (int i = 0; i < 64; ++i)
        if (kAlphabet[i] == c)
            return i;
    return -1;
}

using RoundKeys = std::array<std::array<std::uint8_t, 48>, 16>;

RoundKeys scheduleKeys(const Bits64& key)
{
    std::array<std::uint8_t, 56> cd{};
    for (int i = 0; i < 56; ++i)
        cd[i] = key[kKeyChoice1[i] - 1];
    RoundKeys keys{};
    for (int round = 0; round < 16; ++round) {
        // The two 28-bit halves rotate left on their own.
        for (int shift = 0; shift < kKeyShifts[round]; ++shift) {
            const std::uint8_t c0 = cd[0];
            const std::uint8_t d0 = cd[28];
            for (int i = 0; i < 27; ++i) {
                cd[i] = cd[i + 1];
                cd[28 + i] = cd[28 + i + 1];
            }
            cd[27] = c0;
            cd[55] = d0;
        }
        for (int i = 0; i < 48; ++i)
            keys[round][i] = cd[kKeyChoice2[i] - 1];
    }
    return keys;
}

Bits64 encryptBlock(const Bits64& input, const RoundKeys& keys, const std::uint8_t (&expansion)[48])
{
    Bits64 block{};
    for (int i = 0; i < 64; ++i)
        block[i] = input[kInitialPermutation[i] - 1];
    std::uint8_t* left = block.data();
    std::uint8_t* right = block.data() + 32;
    for (int round = 0; round < 16; ++round) {
        std::uint8_t mixed[48];
        for (int i = 0; i < 48; ++i)
            mixed[i] = right[expansion[i] - 1] ^ keys[round][i];
        std::uint8_t substituted[32];
        for (int box = 0; box < 8; ++box) {
            const std::uint8_t* six = mixed + 6 * box;
            const int row = (six[0] << 1) | six[5];
            const int column = (six[1] << 3) | (six[2] << 2) | (six[3] << 1) | six[4];
            const int value = kSubstitution[box][16 * row + column];
            for (int bit = 0; bit < 4; ++bit)
                substituted[4 * box + bit] = (value >> (3 - bit)) & 1;
        }
        std::uint8_t newRight[32];
        for (int i = 0; i < 32; ++i)
            newRight[i] = left[i] ^ substituted[kRoundPermutation[i] - 1];
        for (int i = 0; i < 32; ++i) {
            left[i] = right[i];
            right[i] = newRight[i];
        }
    }
    // The halves are exchanged once more after the last round.
    Bits64 preOutput{};
    for (int i = 0; i < 32; ++i) {
        preOutput[i] = right[i];
        preOutput[32 + i] = left[i];
    }
    Bits64 output{};
    for (int i = 0; i < 64; ++i)
        output[i] = preOutput[kFinalPermutation[i] - 1];
    return output;
}

} // namespace

std::string desCrypt(const std::string& password, const std::string& salt)
{
    if (salt.size() < 2)
        return {};
    const int salt0 = alphabetIndex(salt[0]);
    const int salt1 = alphabetIndex(salt[1]);
    if (salt0 < 0 || salt1 < 0)
        return {};

    // Seven bits of each of the first eight characters, the eighth bit of each key byte left 0.
    Bits64 key{};
    for (std::size_t i = 0;
         i < kCryptPasswordCharacters && i < password.size() && password[i] != '\0'; ++i) {
        const auto c = static_cast<unsigned char>(password[i]);
        for (int bit = 0; bit < 7; ++bit)
            key[8 * i + bit] = (c >> (6 - bit)) & 1;
    }
    const RoundKeys keys = scheduleKeys(key);

    // Each set salt bit exchanges one entry of the first half of the expansion with its partner
    // 24 entries further on: the same password gives 4096 different hashes.
    std::uint8_t expansion[48];
    for (int i = 0; i < 48; ++i)
        expansion[i] = kExpansion[i];
    const int saltValues[2] = {salt0, salt1};
    for (int half = 0; half < 2; ++half)
        for (int bit = 0; bit < 6; ++bit)
            if ((saltValues[half] >> bit) & 1) {
                const int a = 6 * half + bit;
                const std::uint8_t swapped = expansion[a];
                expansion[a] = expansion[a + 24];
                expansion[a + 24] = swapped;
            }

    Bits64 block{};
    for (int round = 0; round < 25; ++round)
        block = encryptBlock(block, keys, expansion);

    // 64 bits plus two zero bits, six at a time, each written as one character of the alphabet.
    std::string hash{salt[0], salt[1]};
    for (int group = 0; group < 11; ++group) {
        int value = 0;
        for (int bit = 0; bit < 6; ++bit) {
            const int position = 6 * group + bit;
            value = (value << 1) | (position < 64 ? block[position] : 0);
        }
        hash += kAlphabet[value];
    }
    return hash;
}

} // namespace velmora

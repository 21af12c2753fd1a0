#pragma once
// The traditional DES-based Unix crypt(3), built in so that the password list works the same on
// every platform the program runs on, whether or not the system offers a crypt() of its own.

#include <cstddef>
#include <string>

namespace velmora {

// The salt every password list of this program uses. Apache reads the salt from the hash itself,
// so a fixed one is enough for it.
inline constexpr char kLoginSalt[] = "vq";

// DES takes a 64-bit key, seven bits from each of this many characters; the rest of a longer
// password never reaches the hash.
inline constexpr std::size_t kCryptPasswordCharacters = 8;

// The 13-character hash: the two salt characters followed by eleven characters of the crypt
// alphabet "./0-9A-Za-z". As in crypt(3), only the first eight characters of the password count
// (up to a NUL), and only the low seven bits of each. salt must be two characters of the crypt
// alphabet; anything else gives an empty text.
std::string desCrypt(const std::string& password, const std::string& salt = kLoginSalt);

} // namespace velmora

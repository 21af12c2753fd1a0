#pragma once
// The FTP user name and password are not stored in plain text: they are encrypted with RC4 under
// a key assembled at run time and stored as Base64. This keeps them from casual eyes only; what
// actually protects them is the file's mode, 0600 after every save.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Field selectors: part of the old (version 1) key form only, one per credential field.
inline constexpr std::string_view kUserNameSelector = "Benutzer";
inline constexpr std::string_view kPasswordSelector = "Kennwort";

std::string ReverseText(std::string_view text);

// Version 2 and above: the three reversed key pieces in a row (90 characters), the same for both
// fields. Below 2: first piece, selector, second piece, selector, third piece (106 characters).
std::string BuildCredentialKey(std::string_view fieldSelector, std::int32_t version);

// RC4 without discarded keystream bytes; applying it twice with the same key restores the bytes.
void Rc4Transform(char* buffer, std::size_t length, std::string_view key);

// The trimmed text followed by "|", encrypted under the version-2 key, as Base64.
std::string EncodeCredential(std::string_view text, std::string_view fieldSelector);

// The inverse for the key form of the given SettingVersion. The last decrypted byte (the "|") is
// dropped whatever it is, and a zero byte ends the text. Damaged input gives a garbled or empty
// text, never an error.
std::string DecodeCredential(std::string_view stored, std::string_view fieldSelector,
                             std::int32_t version);

} // namespace velmora

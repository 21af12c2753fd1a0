#pragma once
// The desktop's restore token between runs: with it the desktop shares the same monitor again
// without asking. It lives in the Work folder, readable by the presenter alone, since whoever
// holds it may read the screen without a question.

#include <string>

namespace velmora {

inline constexpr char kRestoreTokenFile[] = "ScreenCast.token";

// The stored token, or the empty text when there is none (or the file is not one of ours).
std::string readRestoreToken(const std::string& path);
// Replaces the stored token (each run gets a new one; the old one is void). An empty token
// removes what was stored. False when the file could not be written.
bool storeRestoreToken(const std::string& path, const std::string& token);

} // namespace velmora

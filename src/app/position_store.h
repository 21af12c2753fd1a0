#pragma once
// The window position and the install folder, kept in the per-user settings store
// (~/.config/Corvantis/Velmora.conf here) under the names PosX, PosY and InstallDir.

#include <optional>
#include <string>

namespace velmora {

struct StoredPosition {
    std::optional<long long> x;
    std::optional<long long> y;
};

// A value that is missing or not a number reads as absent.
StoredPosition readStoredPosition();
// Write failures are ignored: the next start simply uses the defaults.
void saveProgramPlacement(const std::string& installDir, int x, int y);

} // namespace velmora

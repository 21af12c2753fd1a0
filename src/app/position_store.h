#pragma once
// The window position and the install folder, kept in the per-user settings store under the
// names PosX, PosY and InstallDir: the registry key Software\Corvantis\Velmora on Windows,
// ~/.config/Corvantis/Velmora.conf on Linux.

#include <optional>
#include <string>

namespace velmora {

struct StoredPosition {
    std::optional<long long> x;
    std::optional<long long> y;
};

class PositionStore {
public:
    virtual ~PositionStore() = default;
    // A value that is missing or not a number reads as absent.
    virtual StoredPosition read() const = 0;
    // Write failures are ignored: the next start simply uses the defaults.
    virtual void save(const std::string& installDir, int x, int y) = 0;
};

} // namespace velmora

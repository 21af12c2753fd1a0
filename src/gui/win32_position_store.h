#pragma once
// The position store in the registry: PosX and PosY (REG_DWORD) and InstallDir (REG_SZ) under
// HKEY_CURRENT_USER\Software\Corvantis\Velmora.

#include "app/position_store.h"

namespace velmora {

class Win32PositionStore final : public PositionStore {
public:
    StoredPosition read() const override;
    void save(const std::string& installDir, int x, int y) override;
};

} // namespace velmora

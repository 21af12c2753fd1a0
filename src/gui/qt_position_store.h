#pragma once
// The position store in Qt's per-user settings: ~/.config/Corvantis/Velmora.conf here.

#include "app/position_store.h"

namespace velmora {

class QtPositionStore final : public PositionStore {
public:
    StoredPosition read() const override;
    void save(const std::string& installDir, int x, int y) override;
};

} // namespace velmora

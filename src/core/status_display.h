#pragma once
// Where the presentation shows its progress: the Status line of the main window, and the tray
// icon's tooltip while the window is hidden in the tray.

#include <string>

namespace velmora {

class StatusDisplay {
public:
    virtual ~StatusDisplay() = default;
    virtual void setStatusLine(const std::string& text) = 0; // Windows-1252
    virtual void setTrayTooltip(const std::string& text) = 0;
    virtual bool inTray() const = 0;
};

} // namespace velmora

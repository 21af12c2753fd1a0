#pragma once
// The settings window as the logic sees it: its text fields, its check boxes, and what its buttons
// do. The window itself is one implementation of SettingsWindowView; tests use others.

#include "settings/settings_fields.h"
#include "settings/settings_record.h"

#include <functional>

namespace velmora {

// The numbers are the gadget ids of the window.
enum class SettingsCheck {
    RemoteMousePointer = 33,
    Force256 = 36,
    ForceDownscale = 37,
    AutostartPresentation = 38,
};

class SettingsForm : public SettingsFields {
public:
    virtual bool checked(SettingsCheck box) const = 0;
    virtual void setChecked(SettingsCheck box, bool on) = 0;
};

// The open window as its actions need it.
class SettingsWindowView : public SettingsForm {
public:
    virtual void closeWindow() = 0;
};

// What the window's buttons and its close box do, each acting on the open window.
struct SettingsWindowActions {
    using Action = std::function<void(SettingsWindowView&)>;
    Action ok;
    Action closeBox;
    Action preview;
    Action wholeScreen;
    Action pickRegion;
    Action checkServerDirectory;
    Action loadAbsoluteServerPath;
    Action installLogin;
    Action removeLogin;
};

void FillSettingsWindow(const SettingsRecord& settings, SettingsForm& form);

} // namespace velmora

#pragma once
// The settings window's contents without the window: filling the gadgets from the settings and
// applying them back. The window itself is one implementation of SettingsForm; tests use another.

#include "publish/presentation_state.h"
#include "settings/settings_record.h"
#include "core/message_boxes.h"
#include "settings/settings_fields.h"

#include <string>

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

void FillSettingsWindow(const SettingsRecord& settings, SettingsForm& form);

// Tidies the directory fields in place (visibly), copies every gadget into the record, gives the
// homepage a scheme, recomputes the presentation address, has the next cycle send the viewer page
// again and saves the settings.
void ApplySettingsWindow(SettingsForm& form, SettingsRecord& settings, SharedPresentation& shared,
                         const std::string& workFolder, MessageBoxes& boxes);

} // namespace velmora

#pragma once
// What the settings window's buttons and close box do. The window only forwards clicks here;
// the region tools, the preview and the server tools come in through SettingsWindowServices.

#include "gui/settings_form.h"

namespace velmora {

class SettingsWindowServices {
public:
    virtual ~SettingsWindowServices() = default;
    // Shows the reason and focuses the region field when the text is not a usable region.
    virtual bool validateRegionText(SettingsFields& fields) = 0;
    virtual void openRegionPicker(SettingsFields& fields) = 0;
    virtual void startRegionFrame() = 0;
    virtual void stopRegionFrame() = 0;
    virtual void showPreview() = 0;
    virtual void checkServerDirectory(SettingsFields& fields) = 0;
    virtual void loadAbsoluteServerPath(SettingsFields& fields) = 0;
    virtual void installLogin(SettingsFields& fields) = 0;
    virtual void removeLogin(SettingsFields& fields) = 0;
};

// The open window as the actions need it.
class SettingsWindowView : public SettingsForm {
public:
    virtual void closeWindow() = 0;
};

class SettingsWindowActions {
public:
    SettingsWindowActions(SettingsRecord& settings, SharedPresentation& shared,
                          std::string workFolder, MessageBoxes& boxes,
                          SettingsWindowServices& services);

    // Opening: no presentation cycle and no region frame while the settings are edited.
    void beforeOpening();
    void fill(SettingsWindowView& view) { FillSettingsWindow(settings_, view); }

    void ok(SettingsWindowView& view);
    void closeBox(SettingsWindowView& view);
    void preview(SettingsWindowView& view);
    void wholeScreen(SettingsWindowView& view);
    void pickRegion(SettingsWindowView& view) { services_.openRegionPicker(view); }
    void checkServerDirectory(SettingsWindowView& view) { services_.checkServerDirectory(view); }
    void loadAbsoluteServerPath(SettingsWindowView& view) { services_.loadAbsoluteServerPath(view); }
    void installLogin(SettingsWindowView& view) { services_.installLogin(view); }
    void removeLogin(SettingsWindowView& view) { services_.removeLogin(view); }

private:
    void apply(SettingsWindowView& view);

    SettingsRecord& settings_;
    SharedPresentation& shared_;
    std::string workFolder_;
    MessageBoxes& boxes_;
    SettingsWindowServices& services_;
};

} // namespace velmora

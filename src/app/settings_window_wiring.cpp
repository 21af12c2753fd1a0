#include "app/settings_window_wiring.h"

#include "capture/region_validation.h"
#include "server_tools/install_login.h"
#include "server_tools/remove_login.h"
#include "server_tools/server_directory_tools.h"
#include "settings/settings_fields_copy.h"
#include "settings/settings_store.h"
#include "transfer/server_trust_questions.h"

namespace velmora {

void SettingsWindowWiring::startRegionFrame()
{
    parts_.frontEnd.startRegionFrame(parts_.settings.ScreenRegion);
}

void SettingsWindowWiring::stopRegionFrame()
{
    parts_.frontEnd.stopRegionFrame();
}

RegionTools SettingsWindowWiring::regionTools()
{
    RegionTools tools;
    tools.validateRegionText = [this](SettingsFields& fields) {
        return ValidateRegionText(fields, parts_.screen, parts_.frontEnd.boxes());
    };
    tools.startRegionFrame = [this] { startRegionFrame(); };
    tools.stopRegionFrame = [this] { stopRegionFrame(); };
    tools.showPreview = [this] { parts_.frontEnd.showPreview(parts_.preview); };
    return tools;
}

SettingsWindowActions SettingsWindowWiring::actions()
{
    MessageBoxes& boxes = parts_.frontEnd.boxes();
    SettingsWindowActions actions = settingsWindowActions(parts_.settings, parts_.shared,
                                                          parts_.workFolder, boxes, regionTools());
    const auto stop = [this] { stopPresentation(); };
    actions.pickRegion = [this, stop](SettingsWindowView& view) {
        parts_.frontEnd.openRegionPicker(view, stop);
    };
    // The server tools talk to the server while the windows keep painting; they work on a copy
    // of the typed fields, since the window's gadgets belong to the GUI thread.
    const auto awayFromTheWindow = [this](const std::function<void(SettingsFields&)>& tool) {
        return [this, tool](SettingsWindowView& view) {
            SettingsFieldsCopy fields(view);
            parts_.frontEnd.runWhileRepainting([&] { tool(fields); });
            fields.writeBackTo(view);
        };
    };
    // The remembered server keys live beside the preference file.
    const ServerTrustFiles trust = serverTrustFiles(parts_.workFolder);
    const std::string temp = parts_.tempFolder;
    actions.checkServerDirectory = awayFromTheWindow([&boxes, stop, trust](SettingsFields& fields) {
        CheckServerDirectory(fields, boxes, stop, {}, trust);
    });
    actions.loadAbsoluteServerPath =
        awayFromTheWindow([&boxes, stop, trust](SettingsFields& fields) {
            LoadAbsoluteServerPath(fields, boxes, stop, {}, trust);
        });
    actions.installLogin = awayFromTheWindow([&boxes, stop, temp, trust](SettingsFields& fields) {
        InstallLogin(fields, boxes, stop, temp, {}, trust);
    });
    actions.removeLogin = awayFromTheWindow([&boxes, stop, trust](SettingsFields& fields) {
        RemoveLogin(fields, boxes, stop, {}, trust);
    });
    return actions;
}

void SettingsWindowWiring::openSettingsWindow()
{
    FrontEnd& frontEnd = parts_.frontEnd;
    beforeOpeningSettingsWindow(parts_.shared, regionTools());
    // Choosing the menu entry again brings the open window to the front.
    if (frontEnd.settingsWindowOpen()) {
        frontEnd.raiseSettingsWindow();
        return;
    }
    frontEnd.closePreview();
    // The preview belongs to the settings window and goes with it.
    SettingsWindowView& view =
        frontEnd.createSettingsWindow(settingsWindowEvents(actions()), [&frontEnd] { frontEnd.closePreview(); });
    FillSettingsWindow(parts_.settings, view);
    frontEnd.showSettingsWindow();
}

} // namespace velmora

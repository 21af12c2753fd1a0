#include "app/settings_window_wiring.h"

#include "app/program_windows.h"
#include "capture/region_validation.h"
#include "server_tools/install_login.h"
#include "server_tools/remove_login.h"
#include "server_tools/server_directory_tools.h"
#include "settings/settings_fields_copy.h"
#include "settings/settings_store.h"
#include "transfer/server_trust_questions.h"

namespace velmora {

SettingsWindowWiring::SettingsWindowWiring(SettingsWindowParts parts)
    : parts_(std::move(parts)), picker_(parts_.frontEnd, parts_.screen),
      preview_(parts_.frontEnd, parts_.tempFolder, parts_.screen, parts_.preview)
{
}

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
    tools.showPreview = [this] { preview_.show(window_->window()); };
    return tools;
}

SettingsWindowActions SettingsWindowWiring::actions()
{
    MessageBoxes& boxes = parts_.frontEnd.boxes();
    SettingsWindowActions actions = settingsWindowActions(parts_.settings, parts_.shared,
                                                          parts_.workFolder, boxes, regionTools());
    const auto stop = [this] { stopPresentation(); };
    actions.pickRegion = [this, stop](SettingsWindowView& view) {
        picker_.open(window_->window(), view, stop);
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
    beforeOpeningSettingsWindow(parts_.shared, regionTools());
    // Choosing the menu entry again brings the open window to the front, unless it has made
    // way for the region picker or the preview's picture.
    if (window_ && window_->open()) {
        if (window_->window().shown())
            window_->window().show();
        return;
    }
    preview_.close();
    window_.reset();
    const SettingsWindowEvents events = settingsWindowEvents(actions());
    WindowEvents described;
    // The window is made before its form: the form is the window's own once it exists.
    described.action = [this, events](WindowAction action) {
        if (window_ && window_->open())
            events(action, *window_);
    };
    // The preview belongs to the settings window and goes with it.
    window_ = std::make_unique<DescribedSettingsWindow>(
        parts_.frontEnd.openWindow(settingsWindowDescription(), std::move(described),
                                   &parts_.mainWindow),
        [this] { preview_.close(); });
    FillSettingsWindow(parts_.settings, *window_);
    window_->window().show();
}

} // namespace velmora

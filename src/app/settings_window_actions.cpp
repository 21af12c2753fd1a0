#include "app/settings_window_actions.h"

#include "core/number_rule.h"
#include "settings/presentation_address.h"
#include "settings/settings_store.h"
#include "transfer/remote_path.h"

#include <utility>

namespace velmora {

void ApplySettingsWindow(SettingsForm& form, SettingsRecord& settings, SharedPresentation& shared,
                         const std::string& workFolder, MessageBoxes& boxes)
{
    NormaliseDirectoryFields(form);
    const auto flag = [&form](SettingsCheck box) { return form.checked(box) ? 1 : 0; };
    const auto number = [&form](SettingsField field) { return numberFromText(form.text(field)); };

    settings.FTPServerName = form.text(SettingsField::ServerName);
    settings.FTPWebDir = form.text(SettingsField::WebDir);
    settings.FTPSubDir = form.text(SettingsField::SubDir);
    settings.FTPUserName = form.text(SettingsField::UserName);
    settings.FTPPassword = form.text(SettingsField::Password);
    settings.HtpasswdPath = form.text(SettingsField::HtpasswdPath);
    settings.HtpasswdLoginID = form.text(SettingsField::LoginId);
    settings.HtpasswdLoginPass = form.text(SettingsField::LoginPassword);
    settings.RemoteMousePointer = flag(SettingsCheck::RemoteMousePointer);
    settings.PauseSeconds = number(SettingsField::PauseSeconds);
    settings.Force256 = flag(SettingsCheck::Force256);
    settings.ForceDownscale = flag(SettingsCheck::ForceDownscale);
    settings.AutostartPresentation = flag(SettingsCheck::AutostartPresentation);
    settings.ScreenRegion = form.text(SettingsField::ScreenRegion);
    settings.BrowserRefresh = number(SettingsField::BrowserRefresh);
    settings.InternetRetryTime = number(SettingsField::InternetRetryTime);
    settings.LizenzSite = form.text(SettingsField::Homepage);

    if (settings.LizenzSite.find("://") == std::string::npos)
        settings.LizenzSite = "http://" + settings.LizenzSite;
    settings.PresentationAddress = presentationAddressFor(settings.FTPSubDir);
    shared.spectators().settingsApplied();
    SaveSettings(settings, workFolder, boxes);
}

void beforeOpeningSettingsWindow(SharedPresentation& shared, const RegionTools& region)
{
    shared.stop();
    region.stopRegionFrame();
}

SettingsWindowActions settingsWindowActions(SettingsRecord& settings, SharedPresentation& shared,
                                            const std::string& workFolder, MessageBoxes& boxes,
                                            const RegionTools& region)
{
    const auto apply = [&settings, &shared, workFolder, &boxes](SettingsWindowView& view) {
        ApplySettingsWindow(view, settings, shared, workFolder, boxes);
    };
    SettingsWindowActions actions;
    actions.ok = [apply, region](SettingsWindowView& view) {
        if (!region.validateRegionText(view))
            return;
        apply(view);
        view.closeWindow();
        region.startRegionFrame();
    };
    // Leaving by the close box saves too, even a region that OK would refuse: nothing typed is
    // lost.
    actions.closeBox = [apply, region, &shared](SettingsWindowView& view) {
        shared.stop();
        apply(view);
        view.closeWindow();
        region.startRegionFrame();
    };
    actions.preview = [apply, region](SettingsWindowView& view) {
        if (!region.validateRegionText(view))
            return;
        apply(view);
        region.showPreview();
    };
    actions.wholeScreen = [](SettingsWindowView& view) {
        view.setText(SettingsField::ScreenRegion, "");
        view.focus(SettingsField::ScreenRegion);
    };
    return actions;
}

SettingsWindowEvents settingsWindowEvents(SettingsWindowActions actions)
{
    using Action = SettingsWindowActions::Action SettingsWindowActions::*;
    static constexpr std::pair<WindowAction, Action> kBindings[] = {
        {WindowAction::Ok, &SettingsWindowActions::ok},
        {WindowAction::CloseBox, &SettingsWindowActions::closeBox},
        {WindowAction::Preview, &SettingsWindowActions::preview},
        {WindowAction::WholeScreen, &SettingsWindowActions::wholeScreen},
        {WindowAction::PickRegion, &SettingsWindowActions::pickRegion},
        {WindowAction::CheckServerDirectory, &SettingsWindowActions::checkServerDirectory},
        {WindowAction::LoadAbsoluteServerPath, &SettingsWindowActions::loadAbsoluteServerPath},
        {WindowAction::InstallLogin, &SettingsWindowActions::installLogin},
        {WindowAction::RemoveLogin, &SettingsWindowActions::removeLogin},
    };
    return [actions = std::move(actions)](WindowAction action, SettingsWindowView& view) {
        // Check boxes tick themselves; nothing else belongs to this window.
        for (const auto& [bound, member] : kBindings)
            if (bound == action && actions.*member)
                return (actions.*member)(view);
    };
}

} // namespace velmora

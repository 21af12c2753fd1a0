#include "gui/settings_window_actions.h"

namespace velmora {

SettingsWindowActions::SettingsWindowActions(SettingsRecord& settings, SharedPresentation& shared,
                                             std::string workFolder, MessageBoxes& boxes,
                                             SettingsWindowServices& services)
    : settings_(settings), shared_(shared), workFolder_(std::move(workFolder)), boxes_(boxes),
      services_(services)
{
}

void SettingsWindowActions::beforeOpening()
{
    shared_.stopAndReset();
    services_.stopRegionFrame();
}

void SettingsWindowActions::apply(SettingsWindowView& view)
{
    ApplySettingsWindow(view, settings_, shared_, workFolder_, boxes_);
}

void SettingsWindowActions::ok(SettingsWindowView& view)
{
    if (!services_.validateRegionText(view))
        return;
    apply(view);
    view.closeWindow();
    services_.startRegionFrame();
}

void SettingsWindowActions::closeBox(SettingsWindowView& view)
{
    // Leaving by the close box saves too, even a region that OK would refuse: nothing typed is
    // lost.
    shared_.stopAndReset();
    apply(view);
    view.closeWindow();
    services_.startRegionFrame();
}

void SettingsWindowActions::preview(SettingsWindowView& view)
{
    if (!services_.validateRegionText(view))
        return;
    apply(view);
    services_.showPreview();
}

void SettingsWindowActions::wholeScreen(SettingsWindowView& view)
{
    view.setText(SettingsField::ScreenRegion, "");
    view.focus(SettingsField::ScreenRegion);
}

} // namespace velmora

#include "gui/settings_form.h"

#include "publish/remote_path.h"
#include "core/number_rule.h"
#include "settings/presentation_address.h"
#include "settings/settings_store.h"

namespace velmora {

void FillSettingsWindow(const SettingsRecord& settings, SettingsForm& form)
{
    form.setText(SettingsField::ServerName, settings.FTPServerName);
    form.setText(SettingsField::WebDir, settings.FTPWebDir);
    form.setText(SettingsField::SubDir, settings.FTPSubDir);
    form.setText(SettingsField::UserName, settings.FTPUserName);
    form.setText(SettingsField::Password, settings.FTPPassword);
    form.setText(SettingsField::HtpasswdPath, settings.HtpasswdPath);
    form.setText(SettingsField::LoginId, settings.HtpasswdLoginID);
    form.setText(SettingsField::LoginPassword, settings.HtpasswdLoginPass);
    form.setText(SettingsField::ScreenRegion, settings.ScreenRegion);
    form.setText(SettingsField::Homepage, settings.LizenzSite);
    form.setText(SettingsField::PauseSeconds, NumberToText(settings.PauseSeconds));
    form.setText(SettingsField::BrowserRefresh, NumberToText(settings.BrowserRefresh));
    form.setText(SettingsField::InternetRetryTime, NumberToText(settings.InternetRetryTime));
    form.setChecked(SettingsCheck::RemoteMousePointer, settings.RemoteMousePointer == 1);
    form.setChecked(SettingsCheck::Force256, settings.Force256 == 1);
    form.setChecked(SettingsCheck::ForceDownscale, settings.ForceDownscale == 1);
    form.setChecked(SettingsCheck::AutostartPresentation, settings.AutostartPresentation == 1);
}

void ApplySettingsWindow(SettingsForm& form, SettingsRecord& settings, SharedPresentation& shared,
                         const std::string& workFolder, MessageBoxes& boxes)
{
    NormaliseDirectoryFields(form);
    const auto flag = [&form](SettingsCheck box) { return form.checked(box) ? 1 : 0; };
    const auto number = [&form](SettingsField field) { return NumberFromText(form.text(field)); };

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
    settings.PresentationAddress = PresentationAddressFor(settings.FTPSubDir);
    shared.viewerPageSent = false;
    SaveSettings(settings, workFolder, boxes);
}

} // namespace velmora

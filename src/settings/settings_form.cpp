#include "settings/settings_form.h"

#include "core/number_rule.h"

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
    form.setText(SettingsField::PauseSeconds, numberToText(settings.PauseSeconds));
    form.setText(SettingsField::BrowserRefresh, numberToText(settings.BrowserRefresh));
    form.setText(SettingsField::InternetRetryTime, numberToText(settings.InternetRetryTime));
    form.setChecked(SettingsCheck::RemoteMousePointer, settings.RemoteMousePointer == 1);
    form.setChecked(SettingsCheck::Force256, settings.Force256 == 1);
    form.setChecked(SettingsCheck::ForceDownscale, settings.ForceDownscale == 1);
    form.setChecked(SettingsCheck::AutostartPresentation, settings.AutostartPresentation == 1);
}

} // namespace velmora

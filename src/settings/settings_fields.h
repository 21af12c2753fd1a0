#pragma once
// The typed fields of the settings window, as the server tools see them: they act on what the
// presenter has typed, not on the saved settings. Tests hand the tools a plain map instead.

#include <string>

namespace velmora {

// The numbers are the gadget ids of the window.
enum class SettingsField {
    ServerName = 9,
    WebDir = 11,
    SubDir = 13,
    UserName = 15,
    Password = 17,
    HtpasswdPath = 22,
    LoginId = 25,
    LoginPassword = 27,
    Homepage = 32,
    PauseSeconds = 34,
    ScreenRegion = 40,
    BrowserRefresh = 46,
    InternetRetryTime = 49,
};

inline constexpr SettingsField kAllSettingsFields[] = {
    SettingsField::ServerName,        SettingsField::WebDir,        SettingsField::SubDir,
    SettingsField::UserName,          SettingsField::Password,      SettingsField::HtpasswdPath,
    SettingsField::LoginId,           SettingsField::LoginPassword, SettingsField::Homepage,
    SettingsField::PauseSeconds,      SettingsField::ScreenRegion,  SettingsField::BrowserRefresh,
    SettingsField::InternetRetryTime,
};

class SettingsFields {
public:
    virtual ~SettingsFields() = default;
    // Windows-1252 texts, exactly as typed.
    virtual std::string text(SettingsField field) const = 0;
    virtual void setText(SettingsField field, const std::string& text) = 0;
    virtual void focus(SettingsField field) = 0;
};

} // namespace velmora

#pragma once
// The presenter's settings. Field names are the preference keys. Texts are Windows-1252 bytes.
// Only the GUI thread changes the record; each presentation cycle works on its own copy taken on
// the GUI thread when the cycle starts, so no text is ever read while it is being replaced.

#include <cstdint>
#include <string>

namespace velmora {

struct SettingsRecord {
    std::int32_t SettingVersion = 0;
    std::string FTPServerName;
    std::string FTPWebDir;
    std::string FTPSubDir;
    std::string FTPUserName;
    std::string FTPPassword;
    std::string LizenzSite; // the presenter's homepage, where Clear sends the spectators
    std::string HtpasswdPath;
    std::string HtpasswdLoginID;
    std::string HtpasswdLoginPass;
    std::int32_t PauseSeconds = 0; // whole seconds from one cycle start to the next
    std::int32_t RemoteMousePointer = 1; // flags: 1 on, 0 off
    std::int32_t Force256 = 0;
    std::int32_t ForceDownscale = 0;
    std::int32_t AutostartPresentation = 0;
    std::string ScreenRegion;
    std::int32_t BrowserRefresh = 0;    // ms between the spectators' reloads of the data page
    std::int32_t InternetRetryTime = 0; // s in which failed cycles stay silent

    // Derived, never stored: the address the presenter gives the spectators.
    std::string PresentationAddress;
};

} // namespace velmora

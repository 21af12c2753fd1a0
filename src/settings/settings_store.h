#pragma once
// Loading the Settings record from the preference file at start-up, and saving it after the
// settings window has been applied.

#include "settings/settings_record.h"
#include "core/message_boxes.h"

#include <string>
#include <string_view>

namespace velmora {

inline constexpr std::string_view kPreferenceFileName = "Velmora.prf";

// workFolder ends with "/". Creates an empty preference file when there is none. Every key absent
// from the file takes its default; a key present with an empty value stays empty. Shows the
// first-run hint while no FTP server is configured, and a message when the file can be neither
// opened nor created (the defaults are used then). Sets PresentationAddress.
void LoadSettings(SettingsRecord& settings, const std::string& workFolder, MessageBoxes& boxes);

// Sets SettingVersion to 2 and writes every key, the credentials scrambled and the texts without
// outer spaces; the record keeps its texts as they are. Keys and comments the program does not
// know stay in the file. Shows a message when the file cannot be written; a file that allows
// reading only is left as it is without one.
void SaveSettings(SettingsRecord& settings, const std::string& workFolder, MessageBoxes& boxes);

} // namespace velmora

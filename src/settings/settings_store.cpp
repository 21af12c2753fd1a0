#include "settings/settings_store.h"

#include "core/message_titles.h"
#include "core/number_rule.h"
#include "core/text_trimming.h"
#include "settings/credential_scrambling.h"
#include "settings/preference_file.h"
#include "settings/presentation_address.h"

#include <variant>

namespace velmora {
namespace {

constexpr const char* kLoadFailed = "Programm-Einstellungen k\xF6"
                                    "nnen nicht gelesen werden.";
constexpr const char* kSaveFailed = "Programm-Einstellungen k\xF6"
                                    "nnen nicht gesichert werden.";
constexpr const char* kFirstRunHint = "Bitte zuerst im Men\xFC"
                                      " 'Extras' die Einstellungen des FTP-Servers vornehmen.";

using TextField = std::string SettingsRecord::*;
using NumberField = std::int32_t SettingsRecord::*;

struct Key {
    const char* name;
    std::variant<TextField, NumberField> field;
    const char* defaultText; // numbers too: every key is read as text
};

// In the order of the file's lines.
const Key kKeys[] = {
    {"SettingVersion", &SettingsRecord::SettingVersion, "1"},
    {"FTPServerName", &SettingsRecord::FTPServerName, ""},
    {"FTPWebDir", &SettingsRecord::FTPWebDir, ""},
    {"FTPSubDir", &SettingsRecord::FTPSubDir, "mydirectory/"},
    {"FTPUserName", &SettingsRecord::FTPUserName, ""},
    {"FTPPassword", &SettingsRecord::FTPPassword, ""},
    {"LizenzSite", &SettingsRecord::LizenzSite, ""},
    {"HtpasswdPath", &SettingsRecord::HtpasswdPath, ""},
    {"HtpasswdLoginID", &SettingsRecord::HtpasswdLoginID, ""},
    {"HtpasswdLoginPass", &SettingsRecord::HtpasswdLoginPass, ""},
    {"PauseSeconds", &SettingsRecord::PauseSeconds, "0"},
    {"RemoteMousePointer", &SettingsRecord::RemoteMousePointer, "1"},
    {"Force256", &SettingsRecord::Force256, "0"},
    {"ForceDownscale", &SettingsRecord::ForceDownscale, "0"},
    {"AutostartPresentation", &SettingsRecord::AutostartPresentation, "0"},
    {"ScreenRegion", &SettingsRecord::ScreenRegion, ""},
    {"BrowserRefresh", &SettingsRecord::BrowserRefresh, "2000"},
    {"InternetRetryTime", &SettingsRecord::InternetRetryTime, "30"},
};

void showMessage(MessageBoxes& boxes, const char* text)
{
    boxes.show(titles::kProgram, text, BoxButtons::Ok, BoxModality::SystemModal);
}

void readKey(const PreferenceFile& file, const Key& key, SettingsRecord& settings)
{
    const std::string text = file.readText(key.name, key.defaultText);
    if (const auto* textField = std::get_if<TextField>(&key.field))
        settings.*(*textField) = std::string(trimSpaces(text));
    else
        settings.*std::get<NumberField>(key.field) = numberFromText(text);
}

} // namespace

void LoadSettings(SettingsRecord& settings, const std::string& workFolder, MessageBoxes& boxes)
{
    const std::string fileName = workFolder + std::string(kPreferenceFileName);
    PreferenceFile file;
    if (!file.open(fileName) && !file.create(fileName))
        showMessage(boxes, kLoadFailed);

    settings.FTPServerName = std::string(trimSpaces(file.readText("FTPServerName", "")));
    if (settings.FTPServerName.empty())
        showMessage(boxes, kFirstRunHint);
    for (const Key& key : kKeys) {
        if (std::string_view(key.name) != "FTPServerName")
            readKey(file, key, settings);
    }
    settings.PresentationAddress = presentationAddressFor(settings.FTPSubDir);
    file.close();

    settings.FTPUserName =
        DecodeCredential(settings.FTPUserName, kUserNameSelector, settings.SettingVersion);
    settings.FTPPassword =
        DecodeCredential(settings.FTPPassword, kPasswordSelector, settings.SettingVersion);
}

void SaveSettings(SettingsRecord& settings, const std::string& workFolder, MessageBoxes& boxes)
{
    const std::string fileName = workFolder + std::string(kPreferenceFileName);
    PreferenceFile file;
    if (!file.open(fileName) && !file.create(fileName)) {
        showMessage(boxes, kSaveFailed);
        return;
    }
    settings.SettingVersion = 2;
    const std::string storedUserName = EncodeCredential(settings.FTPUserName, kUserNameSelector);
    const std::string storedPassword = EncodeCredential(settings.FTPPassword, kPasswordSelector);

    for (const Key& key : kKeys) {
        if (const auto* textField = std::get_if<TextField>(&key.field)) {
            const std::string& text = *textField == &SettingsRecord::FTPUserName ? storedUserName
                                      : *textField == &SettingsRecord::FTPPassword
                                          ? storedPassword
                                          : settings.*(*textField);
            file.writeText(key.name, trimSpaces(text));
        } else {
            file.writeText(key.name, numberToText(settings.*std::get<NumberField>(key.field)));
        }
    }
    // A failed write-back would otherwise pass for a successful save, and the presenter would
    // find the old settings at the next start. A file that allows reading only stays silent.
    if (file.close() == CloseResult::WriteFailed)
        showMessage(boxes, kSaveFailed);
}

} // namespace velmora

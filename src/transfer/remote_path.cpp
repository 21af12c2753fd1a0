#include "transfer/remote_path.h"

namespace velmora {

std::string remotePath(const std::string& webDir, const std::string& subDir,
                       const std::string& name)
{
    return webDir + subDir + name;
}

void normaliseDirectoryFields(std::string& webDir, std::string& subDir)
{
    if (webDir == "/")
        webDir.clear();
    if (!webDir.empty() && webDir.back() != '/')
        webDir += '/';
    if (subDir.empty())
        subDir = "mydirectory/";
    if (subDir.back() != '/')
        subDir += '/';
}

void NormaliseDirectoryFields(SettingsFields& fields)
{
    std::string webDir = fields.text(SettingsField::WebDir);
    std::string subDir = fields.text(SettingsField::SubDir);
    normaliseDirectoryFields(webDir, subDir);
    fields.setText(SettingsField::WebDir, webDir);
    fields.setText(SettingsField::SubDir, subDir);
}

} // namespace velmora

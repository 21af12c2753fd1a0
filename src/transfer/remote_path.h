#pragma once
// Where the presentation's files live on the server: the web directory followed directly by the
// subdirectory, relative to the directory the FTP account starts in after login.

#include "settings/settings_fields.h"

#include <string>

namespace velmora {

// webDir + subDir + name, with no separator added: the fields carry their own "/".
std::string remotePath(const std::string& webDir, const std::string& subDir,
                       const std::string& name);

// Tidies the two directory fields before any server tool uses them and before the settings are
// applied: "/" alone means the login directory (empty); a non-empty web directory and the
// subdirectory end in "/"; an empty subdirectory becomes "mydirectory/".
void normaliseDirectoryFields(std::string& webDir, std::string& subDir);

// The same on the settings window's typed fields, in place, so the presenter sees the result.
void NormaliseDirectoryFields(SettingsFields& fields);

} // namespace velmora

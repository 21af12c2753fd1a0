#pragma once
// The two files that close the presentation directory with an Apache basic-authentication login:
// the access rules (".htaccess") and the password list (".htpasswd"). Windows-1252 bytes, every
// line ended by CR LF, no byte-order mark.

#include <optional>
#include <string>

namespace velmora {

// Local names in the Temp folder, and the names on the server.
inline constexpr char kAccessRulesRemoteName[] = ".htaccess";
inline constexpr char kPasswordListRemoteName[] = ".htpasswd";

// The start of the message when the absolute path field names no usable directory.
inline constexpr char kPathInvalid[] =
    "Der absolute Verzeichnispfad auf dem Server ist ung\xFCltig:\r\n";

// Shown by the browser's login prompt. Apache 2.4 refuses an empty AuthName with an error for
// every request of the directory, which would take the whole presentation off the web.
inline constexpr char kLoginRealm[] = "Velmora";

// The six lines of the access rules. absolutePath is the server's own name of the directory and
// is used as typed (it should end in "/"); a path with spaces is quoted so that Apache reads it
// as one argument.
std::string accessRulesText(const std::string& realm, const std::string& absolutePath);

// The one line of the password list: the trimmed login ID, ":", the crypt hash of the trimmed
// password with the program's fixed salt.
std::string passwordListText(const std::string& loginId, const std::string& loginPassword);

// Why the login fields cannot go into a password list that Apache and the spectators' browsers
// would understand, as a message for the presenter; nothing when they can. Checked on the
// trimmed texts.
std::optional<std::string> loginInputProblem(const std::string& loginId,
                                             const std::string& loginPassword);

// Why the login fields would hardly protect anything, as a message for the presenter; nothing
// when they would. Apache lets in whoever leaves an empty login ID or password (after trimming)
// empty in the browser's prompt as well; with both empty, every spectator.
std::optional<std::string> missingLoginProblem(const std::string& loginId,
                                               const std::string& loginPassword);

// True when the trimmed password is longer than the part its crypt hash depends on: a spectator
// who types only its beginning gets in as well.
bool passwordLongerThanHashed(const std::string& loginPassword);

// False for a path that cannot name the directory in the access rules: empty (the FTP server
// would take the login directory instead, and the files would land in the wrong place) or
// holding a double quote or a control character (it would break or extend the access rules).
bool usableAbsolutePath(const std::string& absolutePath);

} // namespace velmora

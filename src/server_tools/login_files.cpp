#include "server_tools/login_files.h"

#include "core/text_trimming.h"
#include "server_tools/des_crypt.h"

namespace velmora {
namespace {

// Refused login fields: such a text would corrupt the password list, or the spectators' browsers
// would send it in another encoding than the one hashed, so the login could never succeed.
constexpr char kLoginIdRefused[] =
    "Die LoginID darf keinen Doppelpunkt, keine Umlaute und keine Steuerzeichen enthalten.\r\n"
    "Erlaubt sind Buchstaben ohne Umlaute, Ziffern, Leerzeichen und Satzzeichen.";
constexpr char kLoginPasswordRefused[] =
    "Das Passwort des Logins darf keine Umlaute und keine Steuerzeichen enthalten.\r\n"
    "Erlaubt sind Buchstaben ohne Umlaute, Ziffern, Leerzeichen und Satzzeichen.";
constexpr char kLoginIdMissing[] =
    "Bitte eine LoginID eingeben.\r\n"
    "Ohne LoginID k\xE4me jeder Zuschauer mit leeren Anmeldedaten in das Verzeichnis.";
constexpr char kLoginPasswordMissing[] =
    "Bitte ein Passwort f\xFCr das Login eingeben.\r\n"
    "Ohne Passwort k\xE4me jeder Zuschauer, der die LoginID kennt, in das Verzeichnis.";

// Printable US-ASCII. Browsers send basic-authentication credentials as UTF-8, so a Windows-1252
// umlaut in the file would never match what a spectator types; control characters (line breaks
// above all) would split the line.
bool printableAscii(std::string_view text)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E)
            return false;
    }
    return true;
}

} // namespace

std::string accessRulesText(const std::string& realm, const std::string& absolutePath)
{
    // Apache splits directive arguments at blanks unless they are quoted.
    const bool quote = absolutePath.find(' ') != std::string::npos;
    const std::string userFile = absolutePath + kPasswordListRemoteName;
    std::string text;
    text += "AuthName \"" + realm + "\"\r\n";
    text += "AuthType Basic\r\n";
    text += "AuthUserFile " + (quote ? "\"" + userFile + "\"" : userFile) + "\r\n";
    text += "<Limit GET POST>\r\n";
    text += "require valid-user\r\n";
    text += "</Limit>\r\n";
    return text;
}

std::string passwordListText(const std::string& loginId, const std::string& loginPassword)
{
    return std::string(trimSpaces(loginId)) + ":" +
           desCrypt(std::string(trimSpaces(loginPassword))) + "\r\n";
}

std::optional<std::string> loginInputProblem(const std::string& loginId,
                                             const std::string& loginPassword)
{
    const std::string_view id = trimSpaces(loginId);
    if (!printableAscii(id) || id.find(':') != std::string::npos)
        return std::string(kLoginIdRefused);
    // A ":" in the password is harmless: only its hash goes into the file.
    if (!printableAscii(trimSpaces(loginPassword)))
        return std::string(kLoginPasswordRefused);
    return std::nullopt;
}

std::optional<std::string> missingLoginProblem(const std::string& loginId,
                                               const std::string& loginPassword)
{
    if (trimSpaces(loginId).empty())
        return std::string(kLoginIdMissing);
    if (trimSpaces(loginPassword).empty())
        return std::string(kLoginPasswordMissing);
    return std::nullopt;
}

bool passwordLongerThanHashed(const std::string& loginPassword)
{
    return trimSpaces(loginPassword).size() > kCryptPasswordCharacters;
}

bool usableAbsolutePath(const std::string& absolutePath)
{
    if (absolutePath.empty() || absolutePath.find('"') != std::string::npos)
        return false;
    for (const char c : absolutePath) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

} // namespace velmora

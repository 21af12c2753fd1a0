#pragma once
// The texts with which installing and removing the login report to the presenter (Windows-1252).

namespace velmora::login_messages {

inline constexpr char kPathInvalid[] =
    "Der absolute Verzeichnispfad auf dem Server ist ung\xFCltig:\r\n";
inline constexpr char kPathReloadHint[] = "Bitte den Pfad erneut laden und nochmals versuchen.";

inline constexpr char kAccessRulesNotCreated[] = "Die htaccess-Datei kann nicht erstellt werden.";
inline constexpr char kAccessRulesNotInstalled[] =
    "Die htaccess-Datei kann nicht installiert werden.";
inline constexpr char kPasswordListNotCreated[] = "Die htpasswd-Datei kann nicht erstellt werden.";
inline constexpr char kPasswordListNotInstalled[] =
    "Die htpasswd-Datei kann nicht installiert werden.";
inline constexpr char kInstalled[] = "Das Login-System ist installiert.\r\n"
                                     "Bitte online pr\xFC"
                                     "fen unter: http://www.example.com/meinverzeichnis/";

inline constexpr char kAccessRulesNotDeleted[] =
    "Die htaccess-Datei konnte nicht gel\xF6scht werden.\r\n"
    "Eventuell war noch kein Login-System installiert.";
inline constexpr char kPasswordListNotDeleted[] =
    "Die htpasswd-Datei konnte nicht gel\xF6scht werden.\r\n"
    "Eventuell war noch kein Login-System installiert.";
inline constexpr char kRemoved[] = "Das Login-System ist entfernt.\r\n"
                                   "Bitte 'OK' dr\xFC"
                                   "cken, um aktuellen Stand festzuhalten.";
inline constexpr char kNotFullyRemoved[] =
    "Das Login-System konnte nicht vollst\xE4ndig entfernt werden.\r\n"
    "Bitte das Login-System erneut installieren und nochmals entfernen.";

// Refused login fields: such a text would corrupt the password list, or the spectators' browsers
// would send it in another encoding than the one hashed, so the login could never succeed.
inline constexpr char kLoginIdRefused[] =
    "Die LoginID darf keinen Doppelpunkt, keine Umlaute und keine Steuerzeichen enthalten.\r\n"
    "Erlaubt sind Buchstaben ohne Umlaute, Ziffern, Leerzeichen und Satzzeichen.";
inline constexpr char kLoginPasswordRefused[] =
    "Das Passwort des Logins darf keine Umlaute und keine Steuerzeichen enthalten.\r\n"
    "Erlaubt sind Buchstaben ohne Umlaute, Ziffern, Leerzeichen und Satzzeichen.";

} // namespace velmora::login_messages

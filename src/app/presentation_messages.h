#pragma once
// The presenter-facing texts of the main window, as Windows-1252 bytes.

#include <string>

namespace velmora::text {

inline constexpr const char* kRunning = "L\xE4uft";
inline constexpr const char* kStopped = "Angehalten";
inline constexpr const char* kCleared = "Gel\xF6scht";
inline constexpr const char* kStarting = "Starten ...";
inline constexpr const char* kStopping = "Stoppen ...";
inline constexpr const char* kStatusBeforeFirstPass = "Status";
inline constexpr const char* kAlreadyRunning = "Das Programm l\xE4uft bereits.";

inline const std::string kWelcome =
    std::string("Willkommen zum Velmora!\r\n") + "\r\n" +
    "Bitte wenden Sie folgenden Ablauf f\xFCr die Pr\xE4sentation an:\r\n" +
    "    Start: Abbildungen Ihres Desktops laufend auf die Website \xFC"
    "bertragen.\r\n" +
    "    Stop:  Die laufende \xDC"
    "bertragung des Desktops anhalten.\r\n" +
    "    Clear: Die letzte Abbildung Ihres Desktops auf der Website l\xF6schen.\r\n" +
    "    Exit:   Programm beenden.\r\n\r\n" +
    "Bitte beachten Sie, dass die Abbildung des Desktops beim Zuschauer wenige\r\n" +
    "Sekunden verz\xF6gert erscheint, weil die \xDC"
    "bertragung etwas Zeit ben\xF6tigt.\r\n\r\n" +
    "F\xFCr eine optimale Pr\xE4sentation sind folgende Einstellungen empfehlenswert:\r\n" +
    "    Kein Hintergrundbild anzeigen (wichtig).\r\n" +
    "    Bildschirmaufl\xF6sung auf 800 x 600 Pixel setzen.\r\n";

inline std::string startMessage(const std::string& presentationAddress)
{
    return std::string("Die Online-Pr\xE4sentation wird gestartet.\r\n\r\n") +
           "Bitte informieren Sie den Zuschauer \xFC"
           "ber die Adresse der Pr\xE4sentation:\r\n" +
           presentationAddress + "\r\n\r\n" +
           "Bitte beachten Sie, dass die Pr\xE4sentation beim Zuschauer wenige\r\n" +
           "Sekunden verz\xF6gert erscheint (1 - 2 Bilder).\r\n";
}

inline const std::string kStopMessage =
    std::string("Die Online-Pr\xE4sentation wird angehalten.\r\n\r\n") +
    "Bitte nicht vergessen, am Schluss die letzte Abbildung der Pr\xE4sentation mit 'Clear' zu "
    "l\xF6schen.\r\n";

} // namespace velmora::text

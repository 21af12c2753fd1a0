#pragma once
// Why a Wayland desktop cannot be presented, as the presenter reads it (Latin-1, CR LF).

namespace velmora::messages {

inline constexpr char kNoScreenCastPortal[] =
    "Diese Sitzung l\xE4uft unter Wayland. Dort kann Velmora den Bildschirm nur \xFC"
    "ber die Bildschirmfreigabe des Desktops (xdg-desktop-portal mit PipeWire) aufnehmen, und "
    "die steht hier nicht zur Verf\xFCgung. Ohne sie w\xE4ren alle Bilder schwarz, darum wurde "
    "die Pr\xE4sentation angehalten.\r\n\r\n"
    "Bitte xdg-desktop-portal, das Portal Ihres Desktops und PipeWire installieren und Velmora "
    "neu starten.";

inline constexpr char kScreenCastRefused[] =
    "Die Freigabe des Bildschirms wurde abgelehnt. Ohne sie w\xE4ren alle Bilder schwarz, darum "
    "wurde die Pr\xE4sentation angehalten.\r\n\r\n"
    "Starten Sie Velmora neu und erlauben Sie die Freigabe, um zu pr\xE4sentieren.";

inline constexpr char kScreenCastEnded[] =
    "Die Freigabe des Bildschirms wurde beendet. Ohne sie w\xE4ren alle Bilder schwarz, darum "
    "wurde die Pr\xE4sentation angehalten.\r\n\r\n"
    "Starten Sie Velmora neu, um die Freigabe erneut zu erlauben.";

inline constexpr char kScreenCastFailed[] =
    "Die Freigabe des Bildschirms ist fehlgeschlagen. Ohne sie w\xE4ren alle Bilder schwarz, "
    "darum wurde die Pr\xE4sentation angehalten.\r\n\r\n"
    "Starten Sie Velmora neu, um es noch einmal zu versuchen. Ursache: ";

} // namespace velmora::messages

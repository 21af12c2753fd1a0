#pragma once
// What the capture tells the presenter when the screen cannot be read (Latin-1, CR LF).

namespace velmora::messages {

inline constexpr char kScreenNotRead[] =
    "Der Bildschirm kann nicht gelesen werden. Damit die Zuschauer keine schwarzen Bilder "
    "sehen, wurde die Pr\xE4sentation angehalten; sie sehen weiter das letzte Bild.\r\n\r\n"
    "Pr\xFC"
    "fen Sie die Einstellungen des Bildschirms und starten Sie die Pr\xE4sentation erneut.";

} // namespace velmora::messages

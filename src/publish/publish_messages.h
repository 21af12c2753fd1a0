#pragma once
// The texts with which publishing reports failures to the presenter (Windows-1252).

namespace velmora::messages {

inline constexpr char kViewerPageNotCreated[] = "Die Index-Datei kann nicht erstellt werden.";
inline constexpr char kViewerPageNotUploaded[] =
    "Die Index-Datei kann nicht auf den Server geladen werden.";
inline constexpr char kPictureNotUploaded[] =
    "Die Abbildung des Desktops kann nicht auf den Server geladen werden.";
inline constexpr char kDataPageNotCreated[] = "Die Kontroll-Datei kann nicht erstellt werden.";
inline constexpr char kDataPageNotUploaded[] =
    "Die Kontroll-Datei kann nicht auf den Server geladen werden.";
inline constexpr char kPictureNotCleared[] =
    "Die Abbildung des Desktops kann nicht gel\xF6scht werden.";
inline constexpr char kClearing[] = "L\xF6sche. Bitte warten ...";

} // namespace velmora::messages

#pragma once
// The texts with which a failed connection is reported to the presenter (Windows-1252).

namespace velmora::messages {

inline constexpr char kInternetUnavailable[] = "Das Internet ist nicht erreichbar.";
inline constexpr char kServerUnreachable[] =
    "Die Verbindung zum Server kann nicht hergestellt werden.";

} // namespace velmora::messages

#pragma once
// The titles of the program's message boxes: errors, results and notices, and the boxes of the
// presentation and the settings, which carry the program's name.

namespace velmora::titles {

inline constexpr char kError[] = "Fehler";
inline constexpr char kInformation[] = "Information";
inline constexpr char kProgram[] = "Velmora";

} // namespace velmora::titles

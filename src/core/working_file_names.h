#pragma once
// The local files the program writes into its Temp folder before they are uploaded or shown.

namespace velmora::files {

inline constexpr char kPicture[] = "Velmora.png"; // the newest picture
// Where earlier versions kept a picture while it went up (pictures now go up from memory): still
// removed at shut-down, so that an update leaves nothing behind.
inline constexpr char kUploadPicture[] = "VelmoraUpload.png";
inline constexpr char kViewerPage[] = "Velmora.ind";   // goes up as "index.htm"
inline constexpr char kDataPage[] = "Velmora.cnt";     // goes up as "Velmora.htm"
inline constexpr char kAccessRules[] = "Velmora.ht1";  // goes up as ".htaccess"
inline constexpr char kPasswordList[] = "Velmora.ht2"; // goes up as ".htpasswd"
inline constexpr char kPreviewPicture[] = "VelmoraPreview.png";
inline constexpr char kPreviewPage[] = "VelmoraPreview.htm"; // stays after the program ends

} // namespace velmora::files

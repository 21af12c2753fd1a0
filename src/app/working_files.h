#pragma once
// The local files the program leaves in the Temp folder while it runs.

#include "core/working_file_names.h"

#include <array>
#include <string>

namespace velmora {

// Removed at shut-down, in this order. "VelmoraPreview.htm" is not among them: it stays. The
// upload's copy of a picture is there only when the program ends during an upload, which
// shut-down does not wait for.
inline constexpr std::array<const char*, 7> kWorkingFiles = {
    files::kDataPage, files::kViewerPage,     files::kAccessRules,  files::kPasswordList,
    files::kPicture,  files::kPreviewPicture, files::kUploadPicture};

// Deletes the working files; one that is missing or cannot be deleted is skipped silently.
void deleteWorkingFiles(const std::string& tempFolder);

} // namespace velmora

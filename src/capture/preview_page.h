#pragma once
// The files behind the preview: a small local page that shows the previewed picture the way a
// spectator's browser does, and the picture itself, both in the Temp folder.

#include <string>

namespace velmora {

// The page, byte for byte: eleven lines ending in "\r\n". It names the picture by its bare file
// name, so it is found next to the page.
const std::string& previewPageText();

// tempFolder ends with "/". Writes (or overwrites) the page; false when it cannot be written.
bool writePreviewPage(const std::string& tempFolder);

// After the capture has written the picture file: writes the page (going on without it when it
// cannot be written), removes the previous preview picture and renames the picture file to the
// preview picture. False when there is no preview picture to show: the capture left no picture
// file, or the rename failed. Afterwards the picture file no longer exists until the next
// capture.
bool preparePreviewFiles(const std::string& tempFolder, const std::string& pictureFileName);

} // namespace velmora

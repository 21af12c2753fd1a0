#include "capture/preview_page.h"
#include "core/working_file_names.h"

#include <filesystem>
#include <fstream>

namespace velmora {

const std::string& previewPageText()
{
    static const std::string page =
        "<HTML>\r\n"
        "<HEAD>\r\n"
        "<TITLE>Desktop Preview</TITLE>\r\n"
        "<META HTTP-EQUIV='expires' CONTENT='0'>\r\n"
        "<META HTTP-EQUIV='pragma' CONTENT='no-cache'>\r\n"
        "<META HTTP-EQUIV='imagetoolbar' CONTENT='no'>\r\n"
        "</HEAD>\r\n"
        "<BODY TOPMARGIN=0 LEFTMARGIN=0 MARGINWIDTH=0 MARGINHEIGHT=0>\r\n"
        "<IMG SRC='VelmoraPreview.png' BORDER='0' ALT=''>\r\n"
        "</BODY>\r\n"
        "</HTML>\r\n";
    return page;
}

bool writePreviewPage(const std::string& tempFolder)
{
    std::ofstream file(tempFolder + files::kPreviewPage, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    const std::string& page = previewPageText();
    file.write(page.data(), static_cast<std::streamsize>(page.size()));
    file.close();
    return static_cast<bool>(file);
}

bool preparePreviewFiles(const std::string& tempFolder, const std::string& pictureFileName)
{
    // A page that cannot be written leaves the window without content; the preview goes on.
    writePreviewPage(tempFolder);

    std::error_code error;
    const std::filesystem::path preview = tempFolder + files::kPreviewPicture;
    std::filesystem::remove(preview, error); // a missing file is no error
    std::filesystem::rename(tempFolder + pictureFileName, preview, error);
    return !error;
}

} // namespace velmora

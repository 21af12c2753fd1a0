#include "publish/viewer_page.h"

#include "core/local_file.h"
#include "publish/viewer_script.h" // generated from viewer.js

namespace velmora {

const std::string& viewerPageText()
{
    static const std::string text = [] {
        const std::string scriptTag = "<SCRIPT LANGUAGE=\"JavaScript\">";
        const std::string lines[] = {
            "<HTML>",
            "<HEAD>",
            "<TITLE>Remote Desktop</TITLE>",
            "<META HTTP-EQUIV='Content-Type' CONTENT='text/html;charset=iso-8859-1'>",
            "<META HTTP-EQUIV='expires' CONTENT='0'>",
            "<META HTTP-EQUIV='pragma' CONTENT='no-cache'>",
            "<META HTTP-EQUIV='imagetoolbar' CONTENT='no'>",
            scriptTag + kViewerScript,
            "</SCRIPT></A>",
            "</HEAD>",
            "<BODY TOPMARGIN=0 LEFTMARGIN=0 MARGINWIDTH=0 MARGINHEIGHT=0>",
            scriptTag + "velmoraViewer.start();",
            "</SCRIPT></A>",
            "</BODY>",
            "</HTML>",
            "",
        };
        std::string page;
        for (const auto& line : lines)
            page.append(line).append("\r\n");
        return page;
    }();
    return text;
}

bool writeViewerPage(const std::string& path)
{
    return writeWholeFile(path, viewerPageText());
}

} // namespace velmora

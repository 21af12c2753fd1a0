#include "publish/data_page.h"

#include "core/local_file.h"

namespace velmora {

std::string escapeForScriptString(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\'':
            out += "\\'";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '<':
            out += "\\x3C";
            break; // no "</SCRIPT>" and no "<!--" inside the script
        default:
            if (c < 0x20) {
                out += "\\x";
                out += hex[c >> 4];
                out += hex[c & 0x0F];
            } else {
                out += ch;
            }
        }
    }
    return out;
}

std::string composeDataPage(const DataPageValues& v)
{
    static const char* const kHead[] = {
        "<HTML>",
        "<TITLE>Data</TITLE>",
        "<META HTTP-EQUIV='expires' CONTENT='0'>",
        "<META HTTP-EQUIV='pragma' CONTENT='no-cache'>",
        "<SCRIPT TYPE='text/javascript' LANGUAGE='JavaScript'>",
        "<!--",
        "var ErrMsg = '';",
        "function clickIE() {",
        "  if (document.all) {",
        "    (ErrMsg);",
        "    return false;",
        "  }",
        "}",
        "function clickNS(e) {",
        "  if (document.layers || (document.getElementById && !document.all)) {",
        "    if (e.which==2 || e.which==3) {",
        "      (ErrMsg);",
        "      return false;",
        "    }",
        "  }",
        "}",
        "if (document.layers)\t{",
        "  document.captureEvents(Event.MOUSEDOWN);",
        "  document.onmousedown = clickNS;",
        "} else {",
        "  document.onmouseup = clickNS;",
        "  document.oncontextmenu = clickIE;",
        "}",
        "document.oncontextmenu = new Function('return false');",
        "// -->",
        "</SCRIPT>",
        "</HEAD>",
        "<BODY onLoad='parent.imgLoad()' TOPMARGIN=0 LEFTMARGIN=0 MARGINWIDTH=0 MARGINHEIGHT=0>",
        "<SCRIPT TYPE='text/javascript' LANGUAGE='JavaScript'>",
        "<!--",
    };
    const std::string values[] = {
        "iBild = '" + std::to_string(v.pictureNumber) + "';",
        "iTime = '" + escapeForScriptString(v.uploadTime) + "';",
        "iNr = '" + std::to_string(v.uploadCounter) + "';",
        "iLic = '';",
        "iSite = '" + escapeForScriptString(v.homepage) + "';",
        "iMouseX = " + std::to_string(v.markerX) + ";",
        "iMouseY = " + std::to_string(v.markerY) + ";",
        "iRefresh = " + std::to_string(v.refreshMs) + ";",
        "document.write('<SPAN STYLE=\\'font-family:Arial,Helvetica,sans-serif; "
        "font-size:12px;\\'>['+iBild+'] '+iTime+' ('+iNr+')</SPAN>');",
        "// -->",
        "</SCRIPT>",
        "</BODY>",
        "</HTML>",
    };
    std::string page;
    for (const char* line : kHead)
        page.append(line).append("\r\n");
    for (const auto& line : values)
        page.append(line).append("\r\n");
    return page;
}

bool writeDataPage(const std::string& path, const DataPageValues& values)
{
    return writeWholeFile(path, composeDataPage(values));
}

} // namespace velmora

#include "peer_pipeline.h"

#include "run_command.h"

#include <cstdio>
#include <vector>

namespace velmora::bench {

PeerPipeline::PeerPipeline(std::string display, int ftpPort, std::string folder)
    : display_(std::move(display)), url_("ftp://127.0.0.1:" + std::to_string(ftpPort) + "/peer/"),
      picturePath_(folder + "/Peer.png"), pagePath_(folder + "/Peer.cnt")
{
}

bool PeerPipeline::writePage(int pictureNumber) const
{
    std::FILE* page = std::fopen(pagePath_.c_str(), "wb");
    if (!page)
        return false;
    std::fprintf(page,
                 "<HTML>\r\n<TITLE>Data</TITLE>\r\n"
                 "<META HTTP-EQUIV='expires' CONTENT='0'>\r\n"
                 "<SCRIPT TYPE='text/javascript'>\r\n"
                 "parent.imgLoad('Peer%d.png', %d, 960, 540, 1000);\r\n"
                 "</SCRIPT>\r\n</HTML>\r\n",
                 pictureNumber, uploads_ + 1);
    return std::fclose(page) == 0;
}

bool PeerPipeline::runCycle()
{
    pictureNumber_ = pictureNumber_ % 3 + 1;
    const std::string pictureName = "Peer" + std::to_string(pictureNumber_) + ".png";
    // --noproxy: loopback only, whatever proxy the environment names.
    const std::vector<std::string> curl = {"curl", "--silent", "--show-error", "--noproxy", "*"};
    auto upload = [&](const std::string& file, const std::string& remoteName, bool ascii) {
        std::vector<std::string> argv = curl;
        if (ascii)
            argv.push_back("--use-ascii");
        argv.insert(argv.end(), {"--upload-file", file, url_ + remoteName});
        return runCommand(argv);
    };
    const bool ok =
        runCommand({"import", "-display", display_, "-window", "root", "png:" + picturePath_}) &&
        upload(picturePath_, pictureName, false) && writePage(pictureNumber_) &&
        upload(pagePath_, "Peer.htm", true);
    ++(ok ? uploads_ : failures_);
    return ok;
}

} // namespace velmora::bench

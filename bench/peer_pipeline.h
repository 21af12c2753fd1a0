#pragma once
// The peer of a presentation cycle, built from common tools as a shell loop would run them:
// ImageMagick's "import -window root" writes the screen as PNG, then the curl tool uploads the
// picture (under three names in turn) and a small data page naming it, each over a fresh FTP
// connection, anonymously, to "peer/" on the server.

#include <string>

namespace velmora::bench {

class PeerPipeline {
public:
    // folder: an existing folder for the peer's local files.
    PeerPipeline(std::string display, int ftpPort, std::string folder);

    // One cycle; false when a step failed.
    bool runCycle();
    int failures() const { return failures_; }

    // The remote path of the data page, as the server's log names it.
    static std::string pagePath() { return "peer/Peer.htm"; }

private:
    bool writePage(int pictureNumber) const;

    std::string display_;
    std::string url_; // "ftp://127.0.0.1:<port>/peer/"
    std::string picturePath_;
    std::string pagePath_;
    int pictureNumber_ = 0;
    int uploads_ = 0;
    int failures_ = 0;
};

} // namespace velmora::bench

#pragma once
// The presenter's server as the black-box scenarios use it: an FTP server whose root a web
// server publishes, with the presentation folder and a homepage for the end of the show.

#include "support/ftp_server_fixture.h"
#include "support/web_server.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace velmora::test {

// The presenter's homepage is painted in this colour, so a screenshot tells it from the view.
inline constexpr const char* kHomepageColour = "#c020c0";

class PresentationSite {
public:
    // folder: the presentation folder below the FTP root, ending in "/".
    explicit PresentationSite(std::string folder, FtpServerOptions options = {})
        : ftp(std::move(options)), web(ftp.root()), folder_(std::move(folder))
    {
        std::filesystem::create_directories(ftp.root() + "/" + folder_);
        std::ofstream(ftp.root() + "/home.htm")
            << "<html><body style=\"background:" << kHomepageColour
            << "\"><p>Presenter's homepage</p></body></html>";
    }

    std::string remote(const std::string& name) const { return folder_ + name; }
    std::string viewerAddress() const { return web.address(folder_ + "index.htm"); }
    std::string homepage() const { return web.address("home.htm"); }

    // What the presenter would have saved for this site: anonymous login, the whole screen.
    std::vector<std::string> preferences(int pauseSeconds, int refreshMs, int retrySeconds) const
    {
        return {"SettingVersion=2",
                "FTPServerName=" + ftp.serverName(),
                "FTPWebDir=",
                "FTPSubDir=" + folder_,
                "LizenzSite=" + homepage(),
                "PauseSeconds=" + std::to_string(pauseSeconds),
                "RemoteMousePointer=1",
                "Force256=0",
                "ForceDownscale=0",
                "AutostartPresentation=0",
                "ScreenRegion=",
                "BrowserRefresh=" + std::to_string(refreshMs),
                "InternetRetryTime=" + std::to_string(retrySeconds)};
    }

    // Uploads of one file name so far (as "STORED <path> <bytes>" lines of the server's log).
    int uploadsOf(const std::string& name) const
    {
        int count = 0;
        for (const auto& line : ftp.log({"STORED"}))
            if (line.rfind("STORED " + remote(name) + " ", 0) == 0)
                ++count;
        return count;
    }

    FtpServer ftp;
    WebServer web;

private:
    std::string folder_;
};

} // namespace velmora::test

#pragma once
// A presentation folder as spectators reach it: the viewer page and the files a test puts beside
// it, served over HTTP from 127.0.0.1 by a server that logs every request, the way the
// presenter's web server serves the folder.

#include "publish/viewer_page.h"

#include "support/announced_port.h"
#include "support/file_bytes.h"
#include "support/headless_chromium.h"
#include "support/launched_program.h"
#include "support/png_file.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace velmora::test {

struct ViewerRequest {
    std::string path; // with the query
    int status = 0;
    long long arrivalMs = 0; // since the epoch, by the server's clock
    std::string referer;     // "-" when the browser sent none
};

class ViewerSite {
public:
    ViewerSite()
    {
        std::filesystem::create_directories(root());
        std::filesystem::create_directories(sequence());
        std::ofstream(root() + "/index.htm", std::ios::binary) << velmora::viewerPageText();
        const std::string output = folder_.path() + "/http.out";
        server_ = std::make_unique<LaunchedProgram>(
            std::vector<std::string>{"/usr/bin/python3", VIEWER_HTTP_SERVER_SCRIPT, "--root",
                                     root(), "--sequence", sequence(), "--log",
                                     folder_.path() + "/requests.log", "--control",
                                     folder_.path() + "/control"},
            std::map<std::string, std::string>{}, output);
        port_ = waitForAnnouncedPort(*server_, output);
    }

    std::string address(const std::string& name) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + name;
    }
    std::string root() const { return folder_.path() + "/root"; }

    // The picture file as the presenter's upload leaves it: replaced whole, never half written.
    void picture(int number, const PngPixels& picture) const
    {
        const std::string path = root() + "/Velmora" + std::to_string(number) + ".png";
        ASSERT_TRUE(writePngFile(path + ".upload", picture));
        std::filesystem::rename(path + ".upload", path);
    }
    // The data page served to every request from now on, replaced whole.
    void dataPage(const std::string& text) const
    {
        const std::string path = root() + "/Velmora.htm";
        writeFileBytes(path + ".upload", text);
        std::filesystem::rename(path + ".upload", path);
    }
    // Each reload of the data page gets the next version; an empty one answers 404.
    void dataPages(const std::vector<std::string>& versions) const
    {
        for (std::size_t i = 0; i < versions.size(); ++i)
            writeFileBytes(sequence() + "/Velmora.htm." + std::to_string(i + 1), versions[i]);
    }
    // Each fetch of the picture gets the next version, the way each upload replaces the file on
    // the server; a version without pixels answers 404.
    void pictureVersions(int number, const std::vector<PngPixels>& versions) const
    {
        for (std::size_t i = 0; i < versions.size(); ++i) {
            const std::string path =
                sequence() + "/Velmora" + std::to_string(number) + ".png." + std::to_string(i + 1);
            if (versions[i].width == 0)
                writeFileBytes(path, "");
            else
                ASSERT_TRUE(writePngFile(path, versions[i]));
        }
    }
    // While hanging, the server takes every request and answers none.
    void hang(bool hanging) const
    {
        writeFileBytes(folder_.path() + "/control", hanging ? "hang" : "answer");
    }
    // Holds back only the requests for names that start with prefix, until answer().
    void holdBack(const std::string& prefix) const
    {
        writeFileBytes(folder_.path() + "/control", "hang /" + prefix);
    }
    void answer() const { hang(false); }
    // Whether a request for a name that starts with prefix has been held back.
    bool heldBack(const std::string& prefix) const
    {
        return fileBytes(folder_.path() + "/control.held").find("/" + prefix) != std::string::npos;
    }

    std::vector<ViewerRequest> requests() const
    {
        std::vector<ViewerRequest> all;
        std::istringstream in(fileBytes(folder_.path() + "/requests.log"));
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            ViewerRequest request;
            if (fields >> request.path >> request.status >> request.arrivalMs >> request.referer)
                all.push_back(request);
        }
        return all;
    }
    // Requests whose path with query starts with "/" + prefix.
    std::vector<ViewerRequest> requestsFor(const std::string& prefix) const
    {
        std::vector<ViewerRequest> matching;
        for (const auto& request : requests())
            if (request.path.rfind("/" + prefix, 0) == 0)
                matching.push_back(request);
        return matching;
    }
    int requestCount(const std::string& prefix) const
    {
        return static_cast<int>(requestsFor(prefix).size());
    }
    bool requested(const std::string& prefix) const { return requestCount(prefix) > 0; }

    // The DOM of the viewer page once a browser with this window has run for budgetMs of
    // virtual time.
    std::string dumpDom(int budgetMs, int width = 400, int height = 300) const
    {
        const std::string out = runBrowser(budgetMs, width, height, {"--dump-dom"});
        const auto start = out.find("<html");
        const auto end = out.rfind("</html>");
        if (start == std::string::npos || end == std::string::npos)
            return "<no DOM in browser output>\n" + out;
        return out.substr(start, end + 7 - start);
    }
    PngPixels screenshot(int budgetMs, int width = 400, int height = 300) const
    {
        const std::string shot = folder_.path() + "/shot.png";
        std::filesystem::remove(shot);
        runBrowser(budgetMs, width, height, {"--screenshot=" + shot});
        return decodePng(shot).value_or(PngPixels{});
    }

private:
    std::string sequence() const { return folder_.path() + "/sequence"; }

    std::string runBrowser(int budgetMs, int width, int height,
                           const std::vector<std::string>& what) const
    {
        std::vector<std::string> arguments = {"--virtual-time-budget=" + std::to_string(budgetMs)};
        arguments.insert(arguments.end(), what.begin(), what.end());
        arguments.push_back(address("index.htm"));
        HeadlessChromium browser(width, height, arguments);
        EXPECT_TRUE(browser.process().waitFor(std::chrono::seconds(50)).has_value())
            << "the browser did not finish";
        return browser.output();
    }

    TemporaryFolder folder_;
    std::unique_ptr<LaunchedProgram> server_;
    int port_ = 0;
};

} // namespace velmora::test

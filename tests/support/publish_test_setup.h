#pragma once
// What the cycle and Clear tests share: a real FTP server with the presentation folder, a private
// Temp folder holding a picture, settings that point at the server, and the fakes.

#include "publish/data_page.h"
#include "publish/presentation_cycle.h"
#include "publish/presentation_state.h"
#include "settings/settings_record.h"
#include "transfer/ftp_session.h"

#include "support/fake_clock.h"
#include "support/fake_message_boxes.h"
#include "support/file_bytes.h"
#include "support/ftp_server_fixture.h"
#include "support/png_file.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::test {

// Short waits: a dead or stalled server must end a step within seconds here.
inline constexpr FtpTimeouts kTestTimeouts{5, 3, 3};

// 14:05:09 local time on some day.
inline constexpr std::int64_t kStartTime =
    1'700'000'000 - 22 * 3600 - 13 * 60 - 20 + 14 * 3600 + 5 * 60 + 9;

// The picture file as the capture hands it to a cycle: its bytes, the marker, and the capture's
// number for it (0: none, so that it always goes up).
inline CyclePicture handedOver(const std::string& pictureFile, PointerMarker marker = {},
                               std::uint32_t number = 0)
{
    return {marker, number, std::make_shared<const std::string>(fileBytes(pictureFile))};
}

// A black picture's bytes, as Clear has them made.
inline std::optional<std::string> blackPicture(int width, int height)
{
    return pngBytes(solidPixels(width, height, 0, 0, 0));
}

// A text page as this server keeps it: its line ends are LF.
inline std::string asStored(std::string page)
{
    std::string out;
    for (std::size_t i = 0; i < page.size(); ++i)
        if (!(page[i] == '\r' && i + 1 < page.size() && page[i + 1] == '\n'))
            out += page[i];
    return out;
}

// The text between "name = '" and "'" (or up to ";" for bare numbers) in a data page.
inline std::string pageValue(const std::string& page, const std::string& name)
{
    const std::string quoted = "\n" + name + " = '";
    auto at = page.find(quoted);
    if (at != std::string::npos) {
        at += quoted.size();
        return page.substr(at, page.find('\'', at) - at);
    }
    const std::string bare = "\n" + name + " = ";
    at = page.find(bare);
    if (at == std::string::npos)
        return "<missing>";
    at += bare.size();
    return page.substr(at, page.find(';', at) - at);
}

struct PublishTest : ::testing::Test {
    FtpServer server;
    TemporaryFolder temp;
    SharedPresentation shared;
    FakeMessageBoxes boxes;
    FakeClock clock{kStartTime};
    SettingsRecord settings;

    explicit PublishTest(FtpServerOptions options = {}) : server(std::move(options))
    {
        std::filesystem::create_directories(server.root() + "/public_html/show");
        settings.FTPServerName = server.serverName();
        settings.FTPWebDir = "public_html/";
        settings.FTPSubDir = "show/";
        settings.LizenzSite = "http://www.example.com/";
        settings.BrowserRefresh = 2000;
        settings.InternetRetryTime = 30;
        settings.RemoteMousePointer = 1;
        shared.start();
        capture(1);
    }

    std::string tempFolder() const { return temp.path() + "/"; }
    std::string onServer(const std::string& name) const
    {
        return server.file("public_html/show/" + name);
    }
    std::string remoteFolder() const { return server.root() + "/public_html/show/"; }

    // A new picture in the Temp folder, as the capture leaves it before each cycle.
    void capture(int shade)
    {
        ASSERT_TRUE(writePngFile(tempFolder() + "Velmora.png",
                                 solidPixels(64, 48, static_cast<std::uint8_t>(shade), 10, 20)));
    }
    std::string localPicture() const { return fileBytes(tempFolder() + "Velmora.png"); }
    // The newest picture as the capture hands it over.
    CyclePicture captured(PointerMarker marker = {}, std::uint32_t number = 0) const
    {
        return handedOver(tempFolder() + "Velmora.png", marker, number);
    }

    // The names of the files stored from index `from` on, in order; a rename shows as
    // "<old name> -> <new name>".
    std::vector<std::string> storedNames(std::size_t from = 0) const
    {
        std::vector<std::string> names;
        const auto files = server.stored();
        for (std::size_t i = from; i < files.size(); ++i)
            names.push_back(files[i].renamedFrom.empty()
                                ? files[i].name
                                : files[i].renamedFrom + " -> " + files[i].name);
        return names;
    }
    // Every version of the data page the server received, from index `from` of all uploads on.
    std::vector<std::string> dataPages(std::size_t from = 0) const
    {
        std::vector<std::string> pages;
        const auto files = server.stored();
        for (std::size_t i = from; i < files.size(); ++i)
            if (files[i].name == "Velmora.htm")
                pages.push_back(files[i].bytes);
        return pages;
    }
};

} // namespace velmora::test

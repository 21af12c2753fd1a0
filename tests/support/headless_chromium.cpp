#include "support/headless_chromium.h"

#include "support/file_bytes.h"

namespace velmora::test {
namespace {

std::vector<std::string> commandLine(const std::string& profile, int viewportWidth,
                                     int viewportHeight, const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {"/usr/bin/chromium",
                                     "--headless",
                                     "--no-sandbox",
                                     "--disable-gpu",
                                     "--disable-quic",
                                     "--no-first-run",
                                     "--disable-background-networking",
                                     "--disable-component-update",
                                     "--disable-sync",
                                     "--hide-scrollbars",
                                     "--user-data-dir=" + profile + "/profile",
                                     "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1",
                                     "--window-size=" + std::to_string(viewportWidth) + "," +
                                         std::to_string(viewportHeight)};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

} // namespace

HeadlessChromium::HeadlessChromium(int viewportWidth, int viewportHeight,
                                   const std::vector<std::string>& arguments,
                                   const std::map<int, int>& descriptors)
    : process_(commandLine(folder_.path(), viewportWidth, viewportHeight, arguments),
               {{"HOME", folder_.path()},
                {"XDG_CONFIG_HOME", folder_.path() + "/config"},
                {"XDG_CACHE_HOME", folder_.path() + "/cache"},
                {"DISPLAY", ""}}, // headless: it must not open a window on any screen
               folder_.file("browser.out"), LaunchSetup{descriptors, true})
{
}

std::string HeadlessChromium::output() const
{
    return fileBytes(folder_.file("browser.out"));
}

} // namespace velmora::test

#include "app/help_address.h"

#include <gtest/gtest.h>

#include <set>

namespace velmora {
namespace {

TEST(HelpAddress, PathsBecomeFileAddressesABrowserOpens)
{
    EXPECT_EQ(fileAddress("/usr/share/doc/velmora/README.html"),
              "file:///usr/share/doc/velmora/README.html");
    // Spaces, "#" and "%" would end or change the path in an address; UTF-8 bytes go one by one.
    EXPECT_EQ(fileAddress("/home/anna/Vorträge #1/50%/README.html"),
              "file:///home/anna/Vortr%C3%A4ge%20%231/50%25/README.html");
    EXPECT_EQ(fileAddress("C:\\Program Files\\Velmora\\doc\\README.html"),
              "file:///C:/Program%20Files/Velmora/doc/README.html");
}

TEST(HelpAddress, TheHelpBesideTheProgramComesBeforeThePackagesPlace)
{
    std::set<std::string> present;
    const auto exists = [&present](const std::string& path) { return present.count(path) > 0; };

    // Nothing found: the package's place beside bin/, so the browser names what is missing.
    HelpPage page = installedHelpPage("/usr/bin/", exists);
    EXPECT_EQ(page.shown, "/usr/share/doc/velmora/README.html");
    EXPECT_EQ(page.address, "file:///usr/share/doc/velmora/README.html");

    // A build folder holds the rendered help in doc/ beside the program.
    present.insert("/work/build/doc/README.html");
    page = installedHelpPage("/work/build/", exists);
    EXPECT_EQ(page.shown, "/work/build/doc/README.html");
    EXPECT_EQ(page.address, "file:///work/build/doc/README.html");
}

} // namespace
} // namespace velmora

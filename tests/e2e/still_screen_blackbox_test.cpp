// A still screen with the program's panel on it, presented without a pause: after the first
// picture nothing goes up, although the panel's Status line changed with that upload. The
// pointer moving sends the data page alone, a change of the screen a new picture.

#include "support/coloured_window.h"
#include "support/desktop_session.h"
#include "support/presentation_site.h"
#include "support/program_on_screen.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <iostream>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

int pictureUploads(const PresentationSite& site)
{
    return site.uploadsOf("Velmora1.png.upload") + site.uploadsOf("Velmora2.png.upload") +
           site.uploadsOf("Velmora3.png.upload");
}

// The value of "name = '...'" or "name = ...;" in the data page now on the server.
std::string pageValue(const PresentationSite& site, const std::string& name)
{
    const std::string page = site.ftp.file(site.remote("Velmora.htm"));
    const auto at = page.find("\n" + name + " = ");
    if (at == std::string::npos)
        return "<missing>";
    const auto from = at + name.size() + 4;
    return page.substr(from, page.find(';', from) - from);
}

TEST(StillScreenBlackBox, StillScreenGoesQuietPointerSendsThePageChangeThePicture)
{
    PresentationSite site("show/");
    DesktopSession session;
    session.writePreferences(site.preferences(0, 500, 30));
    const ColouredWindow document(session, {300, 200, 400, 300}, {32, 176, 64});
    ProgramOnScreen program(session);
    ASSERT_NO_FATAL_FAILURE(program.startPresentation());
    session.closeMessageBoxes(10s);
    ASSERT_TRUE(waitUntil(30s, [&] { return site.uploadsOf("Velmora.htm") >= 1; }))
        << session.log();

    // Ten seconds of presenting a still screen without a pause, the panel on it.
    std::this_thread::sleep_for(10s);
    const int pictures = pictureUploads(site);
    const int pages = site.uploadsOf("Velmora.htm");
    std::cout << "still screen: " << pictures << " pictures and " << pages
              << " data pages in the first 10 s\n";
    EXPECT_LE(pictures, 3) << "a still screen kept uploading";
    EXPECT_LE(pages, 3);
    EXPECT_TRUE(session.messageBoxes("Fehler").empty());
    const std::string counter = pageValue(site, "iNr");
    const std::string time = pageValue(site, "iTime");
    const std::string picture = pageValue(site, "iBild");

    // The pointer moves: the data page alone, naming the same picture with the same counter.
    session.xdotool("mousemove 512 400");
    ASSERT_TRUE(waitUntil(15s, [&] { return pageValue(site, "iMouseX") == "508"; }))
        << "the marker did not follow the pointer: iMouseX " << pageValue(site, "iMouseX");
    EXPECT_EQ(pageValue(site, "iMouseY"), "391");
    EXPECT_EQ(pictureUploads(site), pictures) << "a picture went up for the pointer alone";
    EXPECT_EQ(pageValue(site, "iNr"), counter);
    EXPECT_EQ(pageValue(site, "iTime"), time);
    EXPECT_EQ(pageValue(site, "iBild"), picture);

    // The screen changes: a new picture, named by a data page with the next counter.
    const ColouredWindow change(session, {100, 500, 200, 100}, {40, 72, 216});
    ASSERT_TRUE(waitUntil(15s, [&] { return pictureUploads(site) > pictures; }));
    // The page is read while the server may be writing it: only a whole one counts.
    const auto number = [](const std::string& quoted) {
        return quoted.size() > 2 && quoted.front() == '\'' ? std::atoi(quoted.c_str() + 1) : -1;
    };
    int next = -1;
    ASSERT_TRUE(waitUntil(15s, [&] {
        next = number(pageValue(site, "iNr"));
        return next >= 0 && next != number(counter);
    }));
    EXPECT_GT(next, number(counter));

    program.exit();
}

} // namespace
} // namespace velmora::test

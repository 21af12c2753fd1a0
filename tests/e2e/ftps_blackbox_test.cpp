// A presentation over explicit FTPS to a server with a self-signed certificate, with the real
// program on a virtual screen: the first cycle asks whether to trust the server's key, and Enter
// (Yes, the default) lets the pictures go up; the next start of the program trusts the key it
// remembered without asking. The password never crosses the wire unprotected.

#include "settings/credential_scrambling.h"
#include "support/changing_screen.h"
#include "support/desktop_session.h"
#include "support/file_bytes.h"
#include "support/png_file.h"
#include "support/presentation_site.h"
#include "support/program_on_screen.h"
#include "support/temporary_folder.h"
#include "support/test_certificates.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

struct ServerCertificate {
    TemporaryFolder folder;
    TestCertificate certificate = makeSelfSignedCertificate(folder.path(), "server");

    FtpServerOptions options() const
    {
        FtpServerOptions ftps;
        ftps.user = "presenter";
        ftps.password = "s3cret";
        ftps.tls = FtpServerTls::Explicit;
        ftps.certificateFile = certificate.bothFile;
        return ftps;
    }
};

// The account, scrambled as the settings window stores it.
std::vector<std::string> withLogin(std::vector<std::string> lines)
{
    lines.push_back("FTPUserName=" + EncodeCredential("presenter", kUserNameSelector));
    lines.push_back("FTPPassword=" + EncodeCredential("s3cret", kPasswordSelector));
    return lines;
}

bool anyClearLogin(const FtpServer& ftp)
{
    for (const auto& line : ftp.log())
        if (line.rfind("CLEAR USER", 0) == 0 || line.rfind("CLEAR PASS", 0) == 0)
            return true;
    return false;
}

TEST(FtpsBlackBox, FirstContactAsksOnceAndTheRememberedKeyIsUsedSilentlyLater)
{
    ServerCertificate server;
    PresentationSite site("show/", server.options());
    DesktopSession session;
    session.writePreferences(withLogin(site.preferences(1, 500, 30)));
    // Something moves on the screen: a still one would give one picture and then none.
    const ChangingScreen moving(session, {900, 700, 60, 40});
    const std::string keys = session.configHome() + "/Velmora/Velmora.keys";
    {
        ProgramOnScreen program(session);
        ASSERT_NO_FATAL_FAILURE(program.startPresentation());
        session.pressKey("Return"); // the start message
        // The question about the server's key, answered with its default button.
        ASSERT_TRUE(waitUntil(20s, [&] { return !session.messageBoxes("Velmora").empty(); }))
            << "no question about the server\n"
            << session.describeWindows();
        EXPECT_TRUE(site.ftp.log({"USER", "PASS"}).empty()) << "the login went out before";
        session.closeMessageBoxes(10s);
        ASSERT_TRUE(waitUntil(30s, [&] { return site.uploadsOf("Velmora.htm") >= 2; }))
            << session.log() << session.describeWindows();
        EXPECT_TRUE(session.messageBoxes("Fehler").empty());
        const std::string remembered = fileBytes(keys);
        EXPECT_EQ(remembered, "127.0.0.1:" + std::to_string(site.ftp.port()) + " " +
                                  server.certificate.pin + "\n");
        const auto picture = decodePng(site.ftp.root() + "/show/Velmora1.png");
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->width, 1024);
        program.exit();
    }

    site.ftp.clearLog();
    ProgramOnScreen program(session, "velmora2.log");
    ASSERT_NO_FATAL_FAILURE(program.startPresentation());
    session.pressKey("Return");
    // Any box from here on would be a question: a remembered key leaves none open.
    ASSERT_TRUE(waitUntil(10s, [&] { return session.messageBoxes("Velmora").empty(); }))
        << "a box stays open after the start message\n"
        << session.describeWindows();
    bool asked = false;
    ASSERT_TRUE(waitUntil(30s, [&] {
        asked = asked || !session.messageBoxes("Velmora").empty();
        return site.uploadsOf("Velmora.htm") >= 3;
    })) << session.describeWindows();
    EXPECT_FALSE(asked) << "a remembered key was asked about again";
    EXPECT_FALSE(anyClearLogin(site.ftp));
    program.exit();
}

} // namespace
} // namespace velmora::test

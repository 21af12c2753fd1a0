// The Windows program under Wine over explicit FTPS (ftpes://) to pure-ftpd with a self-signed
// certificate. Wine's own TLS accepts any certificate, so the checks are the program's: it asks
// about the server's key before it sends the login (the server hears of no login until the
// presenter says Yes), remembers the key, and when the server later shows another key it stops
// the presentation with both fingerprints and sends nothing, not even a login.

#include "settings/credential_scrambling.h"
#include "support/changing_screen.h"
#include "support/file_bytes.h"
#include "support/program_on_screen.h"
#include "support/pure_ftpd_fixture.h"
#include "support/temporary_folder.h"
#include "support/test_certificates.h"
#include "support/wait_until.h"
#include "support/wine_desktop_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// What the presenter is shown of a key: its SHA-256 in Base64 without the padding.
std::string fingerprint(const TestCertificate& certificate)
{
    std::string base64 = certificate.pin.substr(std::string("sha256//").size());
    while (!base64.empty() && base64.back() == '=')
        base64.pop_back();
    return "SHA256:" + base64;
}

// Every file below the folder with its size and time of last change: what a change on the
// server would alter.
std::map<std::string, std::string> filesBelow(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().string()] =
                std::to_string(entry.file_size()) + " " +
                std::to_string(entry.last_write_time().time_since_epoch().count());
    return files;
}

// The first box of the program shown within the time, whatever its title.
std::optional<WindowInfo> anyBox(DesktopSession& session, std::chrono::milliseconds limit,
                                 std::string& title)
{
    std::optional<WindowInfo> found;
    waitUntil(limit, [&] {
        for (const char* name : {"Velmora", "Fehler", "Information"})
            if (const auto boxes = session.messageBoxes(name); !boxes.empty()) {
                found = boxes.front();
                title = name;
                return true;
            }
        return false;
    });
    return found;
}

class WineFtpsBlackBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string reason;
        if (WinePrefix::windowsBuild(reason).empty())
            GTEST_SKIP() << reason;
        if (WineDesktopSession::probeProgram(*scenarioPrefix()).empty())
            GTEST_SKIP() << "the Windows build has no test programs (build-windows.sh --tests)";
        session = std::make_unique<WineDesktopSession>(*scenarioPrefix());
    }

    std::unique_ptr<WineDesktopSession> session;
};

TEST_F(WineFtpsBlackBox, SelfSignedKeyIsAskedAboutBeforeTheLoginAndAChangedOneIsRefused)
{
    TemporaryFolder certificates;
    const TestCertificate first = makeSelfSignedCertificate(certificates.path(), "first");
    const TestCertificate renewed = makeSelfSignedCertificate(certificates.path(), "renewed");
    PureFtpd server("presenter", "s3cret", first.bothFile, true);
    server.makeFolder("show");
    const std::string serverName = "127.0.0.1:" + std::to_string(server.port());
    session->writePreferences(
        {"SettingVersion=2", "FTPServerName=" + server.serverName(),
         "FTPUserName=" + EncodeCredential("presenter", kUserNameSelector),
         "FTPPassword=" + EncodeCredential("s3cret", kPasswordSelector),
         "FTPWebDir=", "FTPSubDir=show/", "LizenzSite=http://www.example.com/", "PauseSeconds=1",
         "RemoteMousePointer=1", "Force256=0", "ForceDownscale=0", "AutostartPresentation=0",
         "ScreenRegion=", "BrowserRefresh=500", "InternetRetryTime=30"});
    const ChangingScreen moving(*session, {900, 700, 60, 40});

    ProgramOnScreen program(*session);
    ASSERT_NO_FATAL_FAILURE(program.startPresentation());
    const auto started = session->waitForMessageBox("Velmora", 1s);
    ASSERT_TRUE(started);
    session->pressKeyIn(*started, "Return");

    // The question about the key, with its fingerprint; the login waits for the answer.
    std::string title;
    std::optional<WindowInfo> question;
    ASSERT_TRUE(waitUntil(20s,
                          [&] {
                              question = anyBox(*session, 1s, title);
                              return question && question->id != started->id;
                          }))
        << "no question about the server\n"
        << session->describeWindows();
    EXPECT_EQ(title, "Velmora");
    const std::string asked = session->boxTexts("Velmora");
    EXPECT_EQ(asked.rfind("Die Identität des Servers " + serverName +
                              " kann nicht bestätigt werden.\r\n"
                              "Das Zertifikat des Servers ist selbst signiert.\r\n",
                          0),
              0u)
        << asked;
    EXPECT_NE(asked.find("\r\n" + fingerprint(first) + "\r\n"), std::string::npos) << asked;
    std::this_thread::sleep_for(2s);
    EXPECT_TRUE(server.logins().empty()) << "a login went out before the answer";

    // Yes (the default button): the login, protected, and the presentation's files.
    session->pressKeyIn(*question, "Return");
    ASSERT_TRUE(waitUntil(40s, [&] { return fs::exists(server.root() + "/show/Velmora.htm"); }))
        << session->describeWindows();
    ASSERT_FALSE(server.logins().empty());
    for (const auto& login : server.logins())
        EXPECT_EQ(login, "presenter protected");
    EXPECT_TRUE(fs::exists(server.root() + "/show/Velmora1.png"));
    EXPECT_EQ(fileBytes(session->prefix().appDataFolder() + "Velmora/Velmora.keys"),
              serverName + " " + first.pin + "\n");

    // The server shows another key from now on; the kept connection ends with the old server.
    server.replaceCertificate(renewed.bothFile);
    const auto loginsBefore = server.logins();
    const auto filesBefore = filesBelow(server.root());
    std::optional<WindowInfo> refusal;
    ASSERT_TRUE(waitUntil(40s,
                          [&] {
                              refusal = anyBox(*session, 1s, title);
                              return refusal.has_value();
                          }))
        << "the changed key was not refused\n"
        << session->describeWindows();
    EXPECT_EQ(title, "Fehler");
    const std::string refused = session->boxTexts(title);
    EXPECT_EQ(refused.rfind("Der Schlüssel des Servers " + serverName +
                                " hat sich geändert.\r\n"
                                "Bisher: " +
                                fingerprint(first) + "\r\nJetzt:  " + fingerprint(renewed) +
                                "\r\n\r\nEs wurde nichts gesendet.",
                            0),
              0u)
        << refused;
    session->pressKeyIn(*refusal, "Return");
    // Stopped: no other attempt follows, nothing reached the server, the old key stays.
    std::this_thread::sleep_for(5s);
    EXPECT_EQ(server.logins(), loginsBefore);
    EXPECT_EQ(filesBelow(server.root()), filesBefore);
    EXPECT_FALSE(anyBox(*session, 1s, title)) << "another box: " << title;
    EXPECT_EQ(fileBytes(session->prefix().appDataFolder() + "Velmora/Velmora.keys"),
              serverName + " " + first.pin + "\n");
    ASSERT_NO_FATAL_FAILURE(program.exit());
}

} // namespace
} // namespace velmora::test

// The presentation over sftp:// against a private sshd: the host key question, the remembered key,
// a changed key, and pictures replaced although SFTP cannot rename over a file.
#include "publish/clear_presentation.h"
#include "publish/presentation_cycle.h"
#include "transfer/tls_peer_key.h"

#include "support/loopback_port.h"
#include "support/sshd_fixture.h"

#include "support/publish_test_setup.h"

#include <chrono>
#include <thread>

namespace velmora {
namespace {

struct SftpCycleTest : ::testing::Test {
    test::Sshd server;
    test::PresenterSshHome home{server};
    test::TemporaryFolder temp;
    SharedPresentation shared;
    test::FakeMessageBoxes boxes;
    test::FakeClock clock{test::kStartTime};
    SettingsRecord settings;
    PresentationCycle cycle{shared,
                            boxes,
                            clock,
                            temp.path() + "/",
                            test::kTestTimeouts,
                            {temp.file("Velmora.keys"), {}}};

    explicit SftpCycleTest(test::SshdOptions options = {}) : server(options)
    {
        std::filesystem::create_directories(server.home() + "/public_html/show");
        settings.FTPServerName = server.serverName();
        settings.FTPUserName = server.user();
        settings.FTPWebDir = "public_html/";
        settings.FTPSubDir = "show/";
        settings.LizenzSite = "http://www.example.com/";
        settings.BrowserRefresh = 2000;
        settings.InternetRetryTime = 30;
        shared.start();
        capture(1);
    }

    std::string knownHosts() const { return temp.file("known_hosts"); }
    std::string onServer(const std::string& name) const
    {
        return test::fileBytes(server.home() + "/public_html/show/" + name);
    }
    void capture(int shade)
    {
        ASSERT_TRUE(test::writePngFile(
            temp.file("Velmora.png"),
            test::solidPixels(64, 48, static_cast<std::uint8_t>(shade), 10, 20)));
    }
    std::string localPicture() const { return test::fileBytes(temp.file("Velmora.png")); }
    CyclePicture captured() const { return test::handedOver(temp.file("Velmora.png")); }
    std::vector<std::string> remoteNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry :
             std::filesystem::directory_iterator(server.home() + "/public_html/show"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string fingerprint() const
    {
        const std::string line =
            test::commandOutput("ssh-keygen -l -f '" + server.hostPublicKey() + "'");
        const auto start = line.find(' ') + 1;
        return line.substr(start, line.find(' ', start) - start);
    }
};

TEST_F(SftpCycleTest, FirstContactAsksOnceThenPicturesAreReplacedSilently)
{
    boxes.answerNext(BoxAnswer::Yes);
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    ASSERT_EQ(boxes.shown().size(), 1u);
    const auto question = boxes.shown()[0];
    EXPECT_EQ(question.title, "Velmora");
    EXPECT_EQ(question.buttons, BoxButtons::YesNo);
    EXPECT_NE(question.text.find(fingerprint()), std::string::npos) << question.text;
    EXPECT_EQ(test::fileBytes(knownHosts()), server.knownHostsLine());
    EXPECT_EQ(onServer("Velmora1.png"), localPicture());
    EXPECT_NE(onServer("Velmora.htm").find("\r\n"), std::string::npos);

    for (int shade = 2; shade <= 5; ++shade) {
        capture(shade);
        EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    }
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(shared.state(), PresentationState::Running);
    // Five cycles on three names: the fourth and fifth replaced existing pictures.
    EXPECT_EQ(onServer("Velmora2.png"), localPicture());
    EXPECT_EQ(remoteNames(),
              (std::vector<std::string>{"Velmora.htm", "Velmora1.png", "Velmora2.png",
                                        "Velmora3.png", "index.htm"}));
}

TEST_F(SftpCycleTest, NoUploadsNothingAndStops)
{
    boxes.answerNext(BoxAnswer::No);
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Refused);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].text, "Die Verbindung zum Server kann nicht hergestellt werden.");
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_TRUE(remoteNames().empty());
    EXPECT_EQ(test::fileBytes(knownHosts()), "");
}

TEST_F(SftpCycleTest, ChangedKeyStopsWithBothFingerprintsAndUploadsNothing)
{
    test::writeFileBytes(knownHosts(), server.knownHostsLine());
    const std::string before = fingerprint();
    server.replaceHostKey();
    boxes.answerNext(BoxAnswer::Yes); // would accept, were anything asked
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Refused);
    ASSERT_EQ(boxes.shown().size(), 1u);
    const auto report = boxes.shown()[0];
    EXPECT_EQ(report.title, "Fehler");
    EXPECT_NE(report.text.find("Bisher: " + before), std::string::npos) << report.text;
    EXPECT_NE(report.text.find("Jetzt:  " + fingerprint()), std::string::npos) << report.text;
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_TRUE(remoteNames().empty());
}

// Keys the presentation must never publish to, with Yes to whatever might be asked: a key revoked
// in either known-hosts file although the other accepts it, and a key that differs from the one
// ssh wrote into ~/.ssh/known_hosts for the name as the presenter typed it.
enum class RefusedKey {
    RevokedInOwnFile,
    RevokedInWorkFolder,
    ChangedForLocalHost,
    ChangedForIpv6
};

struct RefusedKeyCycleTest : SftpCycleTest, ::testing::WithParamInterface<RefusedKey> {
    RefusedKeyCycleTest()
        : SftpCycleTest(test::SshdOptions{.ipv6Too = GetParam() == RefusedKey::ChangedForIpv6})
    {
    }
    // The server's line under the name ssh gives host.
    std::string lineFor(const std::string& host) const
    {
        const std::string line = server.knownHostsLine();
        return "[" + host + "]" + line.substr(line.find(']') + 1);
    }
};

TEST_P(RefusedKeyCycleTest, StopsAtOnceUnaskedAndUploadsNothing)
{
    const std::string port = std::to_string(server.port());
    const std::string before = fingerprint();
    switch (GetParam()) {
    case RefusedKey::RevokedInOwnFile:
        test::writeFileBytes(home.knownHostsFile(), "@revoked " + server.knownHostsLine());
        test::writeFileBytes(knownHosts(), server.knownHostsLine());
        break;
    case RefusedKey::RevokedInWorkFolder:
        test::writeFileBytes(knownHosts(), "@revoked " + server.knownHostsLine());
        test::writeFileBytes(home.knownHostsFile(), server.knownHostsLine());
        break;
    case RefusedKey::ChangedForLocalHost:
        test::writeFileBytes(home.knownHostsFile(), lineFor("localhost"));
        settings.FTPServerName = "sftp://LocalHost:" + port;
        server.replaceHostKey();
        break;
    case RefusedKey::ChangedForIpv6:
        if (!test::acceptsIpv6Connections(server.port()))
            GTEST_SKIP() << "no IPv6 loopback";
        test::writeFileBytes(home.knownHostsFile(), lineFor("::1"));
        settings.FTPServerName = "sftp://[::1]:" + port;
        server.replaceHostKey();
        break;
    }
    const std::string workFolderFile = test::fileBytes(knownHosts());
    boxes.answerNext(BoxAnswer::Yes); // would accept, were anything asked
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Refused);
    ASSERT_EQ(boxes.shown().size(), 1u);
    const auto report = boxes.shown()[0];
    EXPECT_EQ(report.title, "Fehler");
    EXPECT_NE(report.text.find(fingerprint()), std::string::npos) << report.text;
    if (GetParam() == RefusedKey::RevokedInOwnFile ||
        GetParam() == RefusedKey::RevokedInWorkFolder) {
        EXPECT_NE(report.text.find("widerrufen"), std::string::npos) << report.text;
        EXPECT_EQ(report.text.find("Bisher"), std::string::npos) << report.text;
    } else {
        EXPECT_NE(report.text.find("Bisher: " + before), std::string::npos) << report.text;
    }
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_TRUE(remoteNames().empty());
    EXPECT_EQ(server.logins(), 0);
    EXPECT_EQ(test::fileBytes(knownHosts()), workFolderFile);
}

INSTANTIATE_TEST_SUITE_P(Keys, RefusedKeyCycleTest,
                         ::testing::Values(RefusedKey::RevokedInOwnFile,
                                           RefusedKey::RevokedInWorkFolder,
                                           RefusedKey::ChangedForLocalHost,
                                           RefusedKey::ChangedForIpv6));

TEST_F(SftpCycleTest, KeyInThePresentersOwnKnownHostsIsTrustedSilently)
{
    test::writeFileBytes(home.knownHostsFile(), server.knownHostsLine());
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(onServer("Velmora1.png"), localPicture());
    EXPECT_EQ(test::fileBytes(home.knownHostsFile()), server.knownHostsLine());
}

TEST_F(SftpCycleTest, ClearReplacesThePicturesWithBlankOnes)
{
    test::writeFileBytes(knownHosts(), server.knownHostsLine());
    for (int shade = 1; shade <= 3; ++shade) {
        capture(shade);
        ASSERT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    }
    ClearPresentation clear(shared, boxes, cycle, temp.path() + "/", test::blackPicture);
    clear.run(settings, PictureSize{64, 48}, PointerMarker{}, [] {});
    EXPECT_TRUE(boxes.shown().empty());
    const std::string blank = test::blackPicture(64, 48).value_or("");
    EXPECT_EQ(onServer("Velmora1.png"), blank);
    EXPECT_EQ(onServer("Velmora2.png"), blank);
    EXPECT_EQ(onServer("Velmora3.png"), blank);
}

// The connection a running presentation keeps from cycle to cycle, against a server that closes
// idle logins.
struct KeptSftpConnectionTest : SftpCycleTest {
    KeptSftpConnectionTest() : SftpCycleTest(test::SshdOptions{1})
    {
        test::writeFileBytes(knownHosts(), server.knownHostsLine());
    }
    // Past the server's idle time-out: it has closed the channel and the connection.
    static void waitPastTheIdleTimeout() { std::this_thread::sleep_for(std::chrono::seconds(3)); }
};

TEST_F(KeptSftpConnectionTest, OneLoginServesTheCyclesAndAClosedOneIsReplacedInTheSameCycle)
{
    for (int shade = 1; shade <= 3; ++shade) {
        capture(shade);
        ASSERT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    }
    EXPECT_EQ(server.logins(), 1);

    waitPastTheIdleTimeout();
    capture(4);
    ASSERT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    EXPECT_EQ(onServer("Velmora1.png"), localPicture());
    EXPECT_EQ(server.logins(), 2);
    EXPECT_EQ(shared.firstFailureTime(), 0);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(KeptSftpConnectionTest, NewHostKeyBehindAClosedConnectionStopsThePresentation)
{
    ASSERT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    const std::string before = fingerprint();
    server.replaceHostKey();
    waitPastTheIdleTimeout();
    capture(2);
    boxes.answerNext(BoxAnswer::Yes); // would accept, were anything asked
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Refused);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("Bisher: " + before), std::string::npos)
        << boxes.shown()[0].text;
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_EQ(server.logins(), 1);
    EXPECT_NE(onServer("Velmora2.png"), localPicture());
}

} // namespace
} // namespace velmora

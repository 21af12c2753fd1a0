// The presentation over FTPS with a self-signed server: what the presenter is asked, what is
// remembered, and what a changed key does to the presentation.
#include "publish/clear_presentation.h"
#include "publish/presentation_cycle.h"
#include "transfer/server_key_store.h"
#include "transfer/tls_peer_key.h"

#include "support/loopback_port.h"
#include "support/test_certificates.h"

#include "support/publish_test_setup.h"

#include <chrono>
#include <thread>

namespace velmora {
namespace {

struct ServerCertificates {
    test::TemporaryFolder certificates;
    test::TestCertificate serverCertificate =
        test::makeSelfSignedCertificate(certificates.path(), "server");
    test::TestCertificate earlierCertificate =
        test::makeSelfSignedCertificate(certificates.path(), "earlier");

    test::FtpServerOptions explicitTls() const
    {
        test::FtpServerOptions options;
        options.tls = test::FtpServerTls::Explicit;
        options.certificateFile = serverCertificate.bothFile;
        return options;
    }
};

struct FtpsCycleTest : ServerCertificates, test::PublishTest {
    FtpsCycleTest() : PublishTest(explicitTls()) {}

    std::string keyFile() const { return temp.path() + "/Velmora.keys"; }
    std::string serverKey() const { return "127.0.0.1:" + std::to_string(server.port()); }
    PresentationCycle cycle{shared,         boxes, clock, tempFolder(), test::kTestTimeouts,
                            {keyFile(), {}}};
};

TEST_F(FtpsCycleTest, FirstContactAsksOnceAndYesRemembersTheKeyForLaterCycles)
{
    boxes.answerNext(BoxAnswer::Yes);
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    ASSERT_EQ(boxes.shown().size(), 1u);
    const auto question = boxes.shown()[0];
    EXPECT_EQ(question.title, "Velmora");
    EXPECT_EQ(question.buttons, BoxButtons::YesNo); // Yes is the default button
    EXPECT_NE(question.text.find("Das Zertifikat des Servers ist selbst signiert."),
              std::string::npos)
        << question.text;
    EXPECT_NE(question.text.find(fingerprintText(serverCertificate.pin)), std::string::npos)
        << question.text;
    EXPECT_NE(question.text.find(serverKey()), std::string::npos) << question.text;
    EXPECT_EQ(ServerKeyStore(keyFile()).find(serverKey()), serverCertificate.pin);
    EXPECT_EQ(onServer("Velmora1.png"), localPicture());

    capture(2);
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    EXPECT_EQ(boxes.shown().size(), 1u); // silent now
    EXPECT_EQ(onServer("Velmora2.png"), localPicture());
    EXPECT_EQ(shared.state(), PresentationState::Running);
    // Not a line of the dialogue went unprotected but the request for TLS.
    for (const auto& line : server.log())
        EXPECT_TRUE(line.rfind("CLEAR ", 0) != 0 || line.rfind("CLEAR AUTH ", 0) == 0) << line;
}

TEST_F(FtpsCycleTest, NoUploadsNothingSendsNoLoginAndStopsWithoutAskingAgain)
{
    boxes.answerNext(BoxAnswer::No);
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Refused);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].title, "Fehler");
    EXPECT_EQ(boxes.shown()[1].text, "Die Verbindung zum Server kann nicht hergestellt werden.");
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_TRUE(server.stored().empty());
    EXPECT_TRUE(server.log({"USER", "PASS", "CLEAR USER", "CLEAR PASS", "STOR"}).empty());
    EXPECT_FALSE(std::filesystem::exists(keyFile()));
}

TEST_F(FtpsCycleTest, ChangedKeyStopsThePresentationWithBothFingerprintsAndUploadsNothing)
{
    ASSERT_TRUE(ServerKeyStore(keyFile()).remember(serverKey(), earlierCertificate.pin));
    boxes.answerNext(BoxAnswer::Yes); // would accept, were anything asked
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Refused);
    ASSERT_EQ(boxes.shown().size(), 1u);
    const auto report = boxes.shown()[0];
    EXPECT_EQ(report.title, "Fehler");
    EXPECT_EQ(report.buttons, BoxButtons::Ok);
    EXPECT_NE(report.text.find("Bisher: " + fingerprintText(earlierCertificate.pin)),
              std::string::npos)
        << report.text;
    EXPECT_NE(report.text.find(fingerprintText(serverCertificate.pin)), std::string::npos)
        << report.text;
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_TRUE(server.stored().empty());
    EXPECT_TRUE(server.log({"USER", "PASS", "CLEAR USER", "CLEAR PASS"}).empty());
    EXPECT_EQ(ServerKeyStore(keyFile()).find(serverKey()), earlierCertificate.pin);
}

TEST_F(FtpsCycleTest, ClearTellsAChangedKeyOnceNotForEachPicture)
{
    ASSERT_TRUE(ServerKeyStore(keyFile()).remember(serverKey(), earlierCertificate.pin));
    ClearPresentation clear(shared, boxes, cycle, tempFolder(), test::blackPicture);
    clear.run(settings, PictureSize{64, 48}, PointerMarker{}, [] {});
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(server.stored().empty());
}

TEST_F(FtpsCycleTest, AbsentSftpServerIsAnOrdinaryFailureOfTheRetryWindow)
{
    settings.FTPServerName = "sftp://127.0.0.1:" + std::to_string(test::freeLocalPort());
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(shared.state(), PresentationState::Running);
    EXPECT_NE(shared.firstFailureTime(), 0);
}

// The connection a running presentation keeps from cycle to cycle: a new one, when the server
// closed the old, is checked against the remembered key like the first.
struct KeptFtpsConnectionTest : ServerCertificates, test::PublishTest {
    static test::FtpServerOptions idleTimeout(test::FtpServerOptions options)
    {
        options.idleTimeoutSeconds = 1;
        return options;
    }
    KeptFtpsConnectionTest() : PublishTest(idleTimeout(explicitTls())) {}

    std::string keyFile() const { return temp.path() + "/Velmora.keys"; }
    PresentationCycle cycle{shared,         boxes, clock, tempFolder(), test::kTestTimeouts,
                            {keyFile(), {}}};
    std::size_t logins() const { return server.log({"USER"}).size(); }
};

TEST_F(KeptFtpsConnectionTest, IdleTimeoutOfTheServerMeansANewHandshakeButNoQuestion)
{
    boxes.answerNext(BoxAnswer::Yes);
    ASSERT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    capture(2);
    ASSERT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    EXPECT_EQ(logins(), 1u); // one handshake for both cycles

    std::this_thread::sleep_for(std::chrono::seconds(2)); // past the server's idle time-out
    capture(3);
    ASSERT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    EXPECT_EQ(onServer("Velmora3.png"), localPicture());
    EXPECT_EQ(logins(), 2u);
    EXPECT_EQ(boxes.shown().size(), 1u); // the first question only
    EXPECT_EQ(shared.firstFailureTime(), 0);
    for (const auto& line : server.log())
        EXPECT_TRUE(line.rfind("CLEAR ", 0) != 0 || line.rfind("CLEAR AUTH ", 0) == 0) << line;
}

TEST_F(KeptFtpsConnectionTest, ServerWithANewCertificateBehindAKeptConnectionStopsThePresentation)
{
    boxes.answerNext(BoxAnswer::Yes);
    ASSERT_EQ(cycle.run(settings, captured()), CycleOutcome::Sent);
    server.replaceCertificate(earlierCertificate.bothFile);
    server.clearLog();
    const auto uploads = server.stored().size();
    capture(2);
    EXPECT_EQ(cycle.run(settings, captured()), CycleOutcome::Refused);
    ASSERT_EQ(boxes.shown().size(), 2u);
    const auto report = boxes.shown()[1];
    EXPECT_EQ(report.title, "Fehler");
    EXPECT_NE(report.text.find("Bisher: " + fingerprintText(serverCertificate.pin)),
              std::string::npos)
        << report.text;
    EXPECT_NE(report.text.find(fingerprintText(earlierCertificate.pin)), std::string::npos)
        << report.text;
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_EQ(server.stored().size(), uploads);
    EXPECT_TRUE(server.log({"USER", "PASS", "CLEAR USER", "CLEAR PASS"}).empty());
}

} // namespace
} // namespace velmora

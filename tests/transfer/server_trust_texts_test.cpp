#include "transfer/ftp_session.h"
#include "transfer/server_trust_questions.h"
#include "transfer/tls_peer_key.h"

#include "support/fake_message_boxes.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr char kPin[] = "sha256//q83vEjRWeJq83vEjRWeJq83vEjRWeJq83vEjRWeJq80=";
constexpr char kOldPin[] = "sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";

TEST(ServerTrustTexts, FingerprintIsOpenSshStyleBase64WithoutPadding)
{
    EXPECT_EQ(fingerprintText(kPin), "SHA256:q83vEjRWeJq83vEjRWeJq83vEjRWeJq83vEjRWeJq80");
}

TEST(ServerTrustTexts, UnverifiedServerQuestionNamesServerReasonAndFingerprint)
{
    test::FakeMessageBoxes boxes;
    boxes.answerNext(BoxAnswer::Yes);
    const ServerTrust trust =
        presenterTrust({"keys", {}}, boxes, BoxModality::SystemModal, ChangedKeyAnswer::Refuse);
    EXPECT_FALSE(trust.askChanged);
    EXPECT_TRUE(
        trust.askUnverified({"h:21", "Das Zertifikat des Servers ist selbst signiert.", kPin, {}}));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Velmora");
    EXPECT_EQ(boxes.shown()[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(boxes.shown()[0].modality, BoxModality::SystemModal);
    EXPECT_EQ(boxes.shown()[0].text,
              "Die Identit\xE4t des Servers h:21 kann nicht best\xE4tigt werden.\r\n"
              "Das Zertifikat des Servers ist selbst signiert.\r\n\r\n"
              "Fingerabdruck seines Schl\xFC"
              "ssels:\r\nSHA256:q83vEjRWeJq83vEjRWeJq83vEjRWeJq83vEjRWeJq80\r\n\r\n"
              "Soll diesem Schl\xFC"
              "ssel vertraut werden? Velmora merkt ihn sich f\xFCr diesen Server.");
    EXPECT_FALSE(trust.askUnverified({"h:21", "r", kPin, {}})); // unanswered: No
}

TEST(ServerTrustTexts, ChangedKeyQuestionDefaultsToNoAndShowsBothKeys)
{
    test::FakeMessageBoxes boxes;
    const ServerTrust trust =
        presenterTrust({"keys", {}}, boxes, BoxModality::Ordinary, ChangedKeyAnswer::Ask);
    ASSERT_TRUE(trust.askChanged);
    EXPECT_FALSE(trust.askChanged({"h:990", {}, kPin, kOldPin}));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].buttons, BoxButtons::YesNoDefaultNo);
    EXPECT_EQ(boxes.shown()[0].modality, BoxModality::Ordinary);
    const std::string keys = "Der Schl\xFC"
                             "ssel des Servers h:990 hat sich ge\xE4ndert.\r\n"
                             "Bisher: SHA256:AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\r\n"
                             "Jetzt:  SHA256:q83vEjRWeJq83vEjRWeJq83vEjRWeJq83vEjRWeJq80\r\n\r\n";
    EXPECT_EQ(boxes.shown()[0].text.substr(0, keys.size()), keys);
}

TEST(ServerTrustTexts, OpenFailuresSayWhatHappened)
{
    const FtpSession session;
    EXPECT_EQ(openFailureText(FtpOpenResult::ServerUnreachable, session),
              "Die Verbindung zum Server kann nicht hergestellt werden.");
    EXPECT_EQ(openFailureText(FtpOpenResult::InternetUnavailable, session),
              "Das Internet ist nicht erreichbar.");
}

TEST(ServerTrustTexts, KeyFileLivesInTheWorkFolder)
{
    EXPECT_EQ(serverTrustFiles("/home/p/.config/Velmora/").keyFile,
              "/home/p/.config/Velmora/Velmora.keys");
    EXPECT_TRUE(serverTrustFiles("/w/").caFile.empty());
}

} // namespace
} // namespace velmora

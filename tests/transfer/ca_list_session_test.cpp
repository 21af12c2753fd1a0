// The certificate authorities the Windows program ships beside itself, against real FTPS servers
// (libcurl on mbedTLS, under Wine). ca_list_test.sh starts the servers on this machine, puts a
// copy of this program into a folder of its own with the shipped list plus the tests' authority
// as cacert.pem, and names the servers in the environment.
#include "transfer/ca_list.h"
#include "transfer/ftp_session.h"
#include "transfer/replacing_upload.h"
#include "transfer/server_key_store.h"
#include "transfer/server_trust_questions.h"

#include "support/file_bytes.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <vector>

namespace velmora {
namespace {

constexpr FtpTimeouts kTimeouts{15, 15, 15};

TEST(CaList, IsTheListBesideTheProgram)
{
    const std::string list = caListFile();
    const std::string name = std::string("\\") + kCaListFileName;
    ASSERT_GT(list.size(), name.size());
    EXPECT_EQ(list.substr(list.size() - name.size()), name);
    EXPECT_EQ(serverTrustFiles("C:\\w\\").caFile, list);
}

struct Certificate {
    const char* variable; // names the server that shows it
    bool verifies;
    const char* reason; // the question's reason where it does not
};

void PrintTo(const Certificate& certificate, std::ostream* out)
{
    *out << certificate.variable;
}

class CaListSession : public ::testing::TestWithParam<Certificate> {};

TEST_P(CaListSession, OnlyACertificateFromAListedAuthorityForTheNameIsTakenWithoutAQuestion)
{
    const char* server = std::getenv(GetParam().variable);
    ASSERT_NE(server, nullptr) << GetParam().variable << " is unset: run by ca_list_test.sh";
    test::TemporaryFolder work;
    std::vector<UntrustedServer> asked;
    ServerTrust trust;
    trust.files = serverTrustFiles(work.folder());
    trust.askUnverified = [&asked](const UntrustedServer& untrusted) {
        asked.push_back(untrusted);
        return false;
    };
    FtpSession session(kTimeouts, trust);
    const FtpOpenResult result = session.open(server, "presenter", "s3cret");
    if (!GetParam().verifies) {
        EXPECT_EQ(result, FtpOpenResult::ServerUnreachable);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].reason, GetParam().reason);
        EXPECT_FALSE(asked[0].pin.empty());
        return;
    }
    ASSERT_EQ(result, FtpOpenResult::Connected);
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(
        putBytesReplacing(session, std::string(100000, 'p'), "p.png", TransferType::Binary));
    // The key its certificate vouched for is remembered as such.
    const auto remembered =
        ServerKeyStore(trust.files.keyFile).lookUp(session.untrustedServer().server);
    ASSERT_TRUE(remembered.has_value());
    EXPECT_EQ(remembered->voucher, KeyVoucher::Certificate);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, CaListSession,
    ::testing::Values(Certificate{"VELMORA_FTPS_SIGNED", true, ""},
                      Certificate{"VELMORA_FTPS_SELF_SIGNED", false,
                                  "Das Zertifikat des Servers ist selbst signiert."},
                      Certificate{
                          "VELMORA_FTPS_OTHER_NAME", false,
                          "Das Zertifikat des Servers ist nicht f\xFCr den Namen \"localhost\" "
                          "ausgestellt."}),
    [](const auto& info) {
        return std::string(info.param.variable).substr(sizeof "VELMORA_FTPS_" - 1);
    });

} // namespace
} // namespace velmora

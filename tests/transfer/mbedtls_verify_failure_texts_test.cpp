// The sentences for mbedTLS's complaints about a certificate, as the Windows build records them.

#include "transfer/mbedtls_tls_verify_error.h"
#include "transfer/tls_peer_key.h"

#include <gtest/gtest.h>

#include <mbedtls/x509.h>

namespace velmora {
namespace {

TEST(ServerTrustTexts, EachVerifyFailureHasItsSentence)
{
    constexpr long notTrusted = MBEDTLS_X509_BADCERT_NOT_TRUSTED;
    EXPECT_EQ(verifyFailureText(notTrusted | kSelfSignedMark, "h"),
              "Das Zertifikat des Servers ist selbst signiert.");
    EXPECT_EQ(verifyFailureText(notTrusted, "h"),
              "Das Zertifikat des Servers stammt von keiner bekannten Zertifizierungsstelle.");
    // Who signed it is named before its dates, as OpenSSL does.
    EXPECT_EQ(verifyFailureText(notTrusted | MBEDTLS_X509_BADCERT_EXPIRED, "h"),
              "Das Zertifikat des Servers stammt von keiner bekannten Zertifizierungsstelle.");
    EXPECT_EQ(verifyFailureText(MBEDTLS_X509_BADCERT_EXPIRED, "h"),
              "Das Zertifikat des Servers ist abgelaufen.");
    EXPECT_EQ(verifyFailureText(MBEDTLS_X509_BADCERT_FUTURE, "h"),
              "Das Zertifikat des Servers ist noch nicht g\xFCltig.");
    EXPECT_EQ(verifyFailureText(0, "ftp.example.com"),
              "Das Zertifikat des Servers ist nicht f\xFCr den Namen \"ftp.example.com\" "
              "ausgestellt.");
    EXPECT_EQ(verifyFailureText(MBEDTLS_X509_BADCERT_REVOKED, "h"),
              "Das Zertifikat des Servers kann nicht gepr\xFC"
              "ft werden (mbedTLS-Fehler 0x00002).");
}

} // namespace
} // namespace velmora

// The sentences for OpenSSL's complaints about a certificate.

#include "transfer/tls_peer_key.h"

#include <gtest/gtest.h>

#include <openssl/x509_vfy.h>

namespace velmora {
namespace {

TEST(ServerTrustTexts, EachVerifyFailureHasItsSentence)
{
    EXPECT_EQ(verifyFailureText(X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT, "h"),
              "Das Zertifikat des Servers ist selbst signiert.");
    EXPECT_EQ(verifyFailureText(X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY, "h"),
              "Das Zertifikat des Servers stammt von keiner bekannten Zertifizierungsstelle.");
    EXPECT_EQ(verifyFailureText(X509_V_ERR_CERT_HAS_EXPIRED, "h"),
              "Das Zertifikat des Servers ist abgelaufen.");
    EXPECT_EQ(verifyFailureText(X509_V_ERR_CERT_NOT_YET_VALID, "h"),
              "Das Zertifikat des Servers ist noch nicht g\xFCltig.");
    EXPECT_EQ(verifyFailureText(X509_V_OK, "ftp.example.com"),
              "Das Zertifikat des Servers ist nicht f\xFCr den Namen \"ftp.example.com\" "
              "ausgestellt.");
    EXPECT_EQ(verifyFailureText(X509_V_ERR_CERT_REVOKED, "h"),
              "Das Zertifikat des Servers kann nicht gepr\xFC"
              "ft werden (OpenSSL-Fehler 23).");
}

} // namespace
} // namespace velmora

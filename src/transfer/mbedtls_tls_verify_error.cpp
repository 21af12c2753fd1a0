#include "transfer/tls_verify_error.h"

#include "transfer/mbedtls_tls_verify_error.h"

#include <mbedtls/x509.h>

#include <cstdio>

namespace velmora {

CertificateFault certificateFault(long verifyError)
{
    if (verifyError == 0)
        return CertificateFault::None;
    if (verifyError & kSelfSignedMark)
        return CertificateFault::SelfSigned;
    // Who signed it comes first, as OpenSSL finds it first while it builds the chain.
    if (verifyError & MBEDTLS_X509_BADCERT_NOT_TRUSTED)
        return CertificateFault::UnknownAuthority;
    if (verifyError & MBEDTLS_X509_BADCERT_EXPIRED)
        return CertificateFault::Expired;
    if (verifyError & MBEDTLS_X509_BADCERT_FUTURE)
        return CertificateFault::NotYetValid;
    return CertificateFault::Other;
}

std::string verifyErrorName(long verifyError)
{
    char text[32];
    std::snprintf(text, sizeof text, "mbedTLS-Fehler 0x%05lX", verifyError & ~kSelfSignedMark);
    return text;
}

} // namespace velmora

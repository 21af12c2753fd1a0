#include "transfer/tls_verify_error.h"

#include <openssl/x509_vfy.h>

namespace velmora {

CertificateFault certificateFault(long verifyError)
{
    switch (verifyError) {
    case X509_V_OK:
        return CertificateFault::None;
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        return CertificateFault::SelfSigned;
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        return CertificateFault::UnknownAuthority;
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return CertificateFault::Expired;
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return CertificateFault::NotYetValid;
    default:
        return CertificateFault::Other;
    }
}

std::string verifyErrorName(long verifyError)
{
    return "OpenSSL-Fehler " + std::to_string(verifyError);
}

} // namespace velmora

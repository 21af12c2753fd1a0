#pragma once
// The TLS library's complaints about a certificate chain, which it gives in numbers of its own,
// as the faults the presenter is told about. openssl_tls_verify_error.cpp reads OpenSSL's
// X509_V_ codes; a build whose libcurl uses another TLS library brings a file of its own.

#include <string>

namespace velmora {

enum class CertificateFault {
    None, // the chain verified: the certificate was refused for the host name
    SelfSigned,
    UnknownAuthority,
    Expired,
    NotYetValid,
    Other,
};

// verifyError as TlsPeerKey records it.
CertificateFault certificateFault(long verifyError);

// The library's own name for a complaint without a sentence of its own, such as
// "OpenSSL-Fehler 23".
std::string verifyErrorName(long verifyError);

} // namespace velmora

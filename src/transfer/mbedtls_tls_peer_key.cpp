#include "transfer/tls_peer_key.h"

#include "transfer/mbedtls_tls_verify_error.h"

#include <mbedtls/pk.h>
#include <mbedtls/ssl.h>
#include <mbedtls/x509.h>
#include <mbedtls/x509_crt.h>

#include <cstring>

namespace velmora {
namespace {

std::string pinOf(mbedtls_x509_crt* certificate)
{
    // mbedtls_pk_write_pubkey_der writes at the end of the buffer and returns the length.
    unsigned char der[8192];
    const int length = mbedtls_pk_write_pubkey_der(&certificate->pk, der, sizeof der);
    if (length <= 0)
        return {};
    return pinOfPublicKey(std::string(reinterpret_cast<const char*>(der + sizeof der - length),
                                      static_cast<std::size_t>(length)));
}

bool signedItself(const mbedtls_x509_crt* certificate)
{
    return certificate->issuer_raw.len == certificate->subject_raw.len &&
           std::memcmp(certificate->issuer_raw.p, certificate->subject_raw.p,
                       certificate->issuer_raw.len) == 0;
}

// Called by mbedTLS for each certificate of the chain, the server's own (depth 0) last.
int verifyCallback(void* userdata, mbedtls_x509_crt* certificate, int depth, std::uint32_t* flags)
{
    auto* key = static_cast<TlsPeerKey*>(userdata);
    // The host name is libcurl's check and the program's question, as with OpenSSL, where the
    // chain's check does not look at it: a chain without any other complaint records none.
    long complaints = static_cast<long>(*flags & ~MBEDTLS_X509_BADCERT_CN_MISMATCH);
    if (depth == 0) {
        key->pin = pinOf(certificate);
        if ((complaints & MBEDTLS_X509_BADCERT_NOT_TRUSTED) && signedItself(certificate))
            complaints |= kSelfSignedMark;
    }
    key->verifyError |= complaints;
    // The verdict stays mbedTLS's and libcurl's.
    return 0;
}

CURLcode prepareContext(CURL*, void* context, void* userdata)
{
    // libcurl hands over the connection's own configuration, before the handshake starts.
    mbedtls_ssl_conf_verify(static_cast<mbedtls_ssl_config*>(context), verifyCallback, userdata);
    return CURLE_OK;
}

} // namespace

void recordTlsPeerKey(CURL* easy, TlsPeerKey* key)
{
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, prepareContext);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, key);
}

} // namespace velmora

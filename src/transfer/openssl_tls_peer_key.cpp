#include "transfer/tls_peer_key.h"

#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <memory>

namespace velmora {
namespace {

struct OpenSslFree {
    void operator()(unsigned char* bytes) const { OPENSSL_free(bytes); }
};

// Where the TlsPeerKey of a connection hangs on its SSL_CTX: libcurl makes one context per
// connection and leaves OpenSSL's verify callback to us.
int keySlot()
{
    static const int slot = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return slot;
}

std::string pinOf(X509* certificate)
{
    EVP_PKEY* key = X509_get0_pubkey(certificate);
    if (!key)
        return {};
    unsigned char* der = nullptr;
    const int length = i2d_PUBKEY(key, &der);
    if (length <= 0)
        return {};
    const std::unique_ptr<unsigned char, OpenSslFree> owned(der);
    return pinOfPublicKey(
        std::string(reinterpret_cast<const char*>(der), static_cast<std::size_t>(length)));
}

int verifyCallback(int preverified, X509_STORE_CTX* store)
{
    auto* ssl =
        static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    auto* key = ssl ? static_cast<TlsPeerKey*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), keySlot()))
                    : nullptr;
    if (key) {
        // The server's own certificate, whichever link of the chain is being looked at: with an
        // unknown issuer OpenSSL may stop before it comes to the server's certificate itself.
        if (X509* leaf = X509_STORE_CTX_get0_cert(store))
            key->pin = pinOf(leaf);
        if (!preverified && key->verifyError == X509_V_OK)
            key->verifyError = X509_STORE_CTX_get_error(store);
    }
    // The verdict stays OpenSSL's and libcurl's.
    return preverified;
}

CURLcode prepareContext(CURL*, void* context, void* userdata)
{
    auto* ctx = static_cast<SSL_CTX*>(context);
    if (keySlot() < 0 || SSL_CTX_set_ex_data(ctx, keySlot(), userdata) != 1)
        return CURLE_SSL_CONNECT_ERROR;
    SSL_CTX_set_verify(ctx, SSL_CTX_get_verify_mode(ctx), verifyCallback);
    return CURLE_OK;
}

} // namespace

void recordTlsPeerKey(CURL* easy, TlsPeerKey* key)
{
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, prepareContext);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, key);
}

} // namespace velmora

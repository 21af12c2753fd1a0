#pragma once
// What the TLS handshake of a connection showed about the server: the SHA-256 of its public key
// and why its certificate did not verify. Recorded from inside the TLS library's own check of the
// chain, so that it describes the very handshake that libcurl judged, before anything else was
// sent. recordTlsPeerKey lives with the TLS library libcurl is built with: OpenSSL here, in
// openssl_tls_peer_key.cpp; a build whose libcurl uses another one brings a file of its own.

#include <curl/curl.h>

#include <string>

namespace velmora {

struct TlsPeerKey {
    // "sha256//<Base64>", as CURLOPT_PINNEDPUBLICKEY takes it; empty until a handshake showed one.
    std::string pin;
    // The TLS library's first complaint about the certificate chain, in its own numbers
    // (tls_verify_error.h); 0 when it had none.
    long verifyError = 0;
    void clear() { *this = {}; }
};

// Makes every TLS connection of easy record into key. key must outlive the handle's transfers.
void recordTlsPeerKey(CURL* easy, TlsPeerKey* key);

// The pin of a public key given in DER (SubjectPublicKeyInfo): "sha256//" and the Base64 of its
// SHA-256; empty when it cannot be hashed.
std::string pinOfPublicKey(const std::string& publicKeyDer);

// "SHA256:<Base64 without padding>", the way OpenSSH prints key fingerprints.
std::string fingerprintText(const std::string& pin);

// Why the certificate was refused, in a sentence for the presenter (Windows-1252). A chain that
// the TLS library accepted was refused for the host name.
std::string verifyFailureText(long verifyError, const std::string& host);

} // namespace velmora

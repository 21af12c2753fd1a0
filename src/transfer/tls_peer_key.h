#pragma once
// What the TLS handshake of a connection showed about the server: the SHA-256 of its public key
// and why its certificate did not verify. Recorded from inside OpenSSL's own check, so that it
// describes the very handshake that libcurl judged, before anything else was sent.

#include <curl/curl.h>

#include <string>

namespace velmora {

struct TlsPeerKey {
    // "sha256//<Base64>", as CURLOPT_PINNEDPUBLICKEY takes it; empty until a handshake showed one.
    std::string pin;
    // OpenSSL's first complaint about the certificate chain (X509_V_OK when it had none).
    long verifyError = 0;
    void clear() { *this = {}; }
};

// Makes every TLS connection of easy record into key. key must outlive the handle's transfers.
void recordTlsPeerKey(CURL* easy, TlsPeerKey* key);

// "SHA256:<Base64 without padding>", the way OpenSSH prints key fingerprints.
std::string fingerprintText(const std::string& pin);

// Why the certificate was refused, in a sentence for the presenter (Windows-1252). A chain that
// OpenSSL accepted was refused for the host name.
std::string verifyFailureText(long verifyError, const std::string& host);

} // namespace velmora

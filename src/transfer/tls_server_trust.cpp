#include "transfer/tls_server_trust.h"

#include "transfer/server_key_store.h"

namespace velmora {
namespace {

// The certificate checked against the CA store and the host name.
void verifyCertificate(CURL* handle)
{
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(handle, CURLOPT_PINNEDPUBLICKEY, nullptr);
}

// Only a server that shows exactly this key; who signed its certificate and for which name no
// longer matters, the presenter has vouched for the key itself.
void pinKey(CURL* handle, const std::string& pin)
{
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(handle, CURLOPT_PINNEDPUBLICKEY, pin.c_str());
}

} // namespace

FtpOpenResult connectTrustedTls(CURL* handle, const std::function<CURLcode()>& connect,
                                const TlsPeerKey& peerKey, const ServerAddress& address,
                                const ServerTrust& trust, UntrustedServer& untrusted)
{
    const ServerKeyStore store(trust.files.keyFile);
    untrusted = {};
    untrusted.server = serverKeyName(address);
    const std::optional<RememberedKey> remembered = store.lookUp(untrusted.server);
    const bool pinned = remembered && remembered->voucher == KeyVoucher::Presenter;
    if (pinned)
        pinKey(handle, remembered->pin);
    else
        verifyCertificate(handle);
    const CURLcode result = connect();
    const bool keyShown = !peerKey.pin.empty();
    if (result == CURLE_OK) {
        // A server its certificate vouched for is remembered by its key too: should it later show
        // a certificate no authority signed, with another key, that is a changed key and not a
        // first contact. A renewed certificate with a new key moves the memory on to that key.
        if (!pinned && keyShown && (!remembered || remembered->pin != peerKey.pin))
            store.remember(untrusted.server, peerKey.pin, KeyVoucher::Certificate);
        return FtpOpenResult::Connected;
    }
    const bool refused =
        result == (pinned ? CURLE_SSL_PINNEDPUBKEYNOTMATCH : CURLE_PEER_FAILED_VERIFICATION);
    // Another key than the one remembered, whether the presenter or a certificate vouched for
    // that one: a changed key, not a new one.
    if (refused && keyShown && remembered && peerKey.pin != remembered->pin) {
        untrusted.pin = peerKey.pin;
        untrusted.rememberedPin = remembered->pin;
        if (!trust.askChanged || !trust.askChanged(untrusted))
            return FtpOpenResult::ServerKeyChanged;
    } else if (!pinned && result == CURLE_PEER_FAILED_VERIFICATION && keyShown) {
        // A first contact, or the very key its certificate once vouched for (an expired one).
        untrusted.pin = peerKey.pin;
        untrusted.reason = verifyFailureText(peerKey.verifyError, address.host);
        if (!trust.askUnverified || !trust.askUnverified(untrusted))
            return FtpOpenResult::ServerUnreachable;
    } else {
        return FtpOpenResult::ServerUnreachable;
    }
    // A key that cannot be remembered is still trusted for this connection: the presenter said
    // so, and will be asked again next time.
    store.remember(untrusted.server, untrusted.pin);
    pinKey(handle, untrusted.pin);
    return connect() == CURLE_OK ? FtpOpenResult::Connected : FtpOpenResult::ServerUnreachable;
}

} // namespace velmora

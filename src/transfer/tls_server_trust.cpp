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
    const auto remembered = store.find(untrusted.server);
    if (remembered)
        pinKey(handle, *remembered);
    else
        verifyCertificate(handle);
    const CURLcode result = connect();
    if (result == CURLE_OK)
        return FtpOpenResult::Connected;
    const bool keyShown = !peerKey.pin.empty();
    if (remembered && result == CURLE_SSL_PINNEDPUBKEYNOTMATCH && keyShown &&
        peerKey.pin != *remembered) {
        untrusted.pin = peerKey.pin;
        untrusted.rememberedPin = *remembered;
        if (!trust.askChanged || !trust.askChanged(untrusted))
            return FtpOpenResult::ServerKeyChanged;
    } else if (!remembered && result == CURLE_PEER_FAILED_VERIFICATION && keyShown) {
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

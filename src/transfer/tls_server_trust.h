#pragma once
// An FTPS connection goes only to a trusted server: one whose certificate verifies against the
// CA store and its name, or whose public key is the one remembered for it, or one the presenter
// vouches for when asked. Both checks fail inside the TLS handshake, before the login is sent.
// The key of a server whose certificate verified is remembered as well: another key there that
// no certificate vouches for is then a changed key.

#include "transfer/ftp_session_types.h"
#include "transfer/server_address.h"
#include "transfer/server_trust.h"
#include "transfer/tls_peer_key.h"

#include <curl/curl.h>

#include <functional>

namespace velmora {

// connect makes one attempt with the TLS options set here on handle and gives libcurl's code;
// peerKey is what that attempt's handshake recorded (connect clears it first). A key the
// presenter accepts, and the key of a server whose certificate verified, is remembered in trust's
// key file. untrusted names the server and, where one
// was refused or asked about, its key.
FtpOpenResult connectTrustedTls(CURL* handle, const std::function<CURLcode()>& connect,
                                const TlsPeerKey& peerKey, const ServerAddress& address,
                                const ServerTrust& trust, UntrustedServer& untrusted);

} // namespace velmora

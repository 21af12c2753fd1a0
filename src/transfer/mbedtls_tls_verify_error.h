#pragma once
// How the mbedTLS files record a handshake's complaints in TlsPeerKey::verifyError: mbedTLS's own
// MBEDTLS_X509_BADCERT_ flags of the chain, and one mark of ours. mbedTLS says only "not trusted"
// for a certificate that signed itself and for one whose signer it does not know; the mark tells
// the first apart, as the presenter's question does.

namespace velmora {

inline constexpr long kSelfSignedMark = 0x01000000;

} // namespace velmora

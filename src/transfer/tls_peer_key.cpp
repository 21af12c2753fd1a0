#include "transfer/tls_peer_key.h"

#include "settings/base64.h"
#include "transfer/key_hashing.h"
#include "transfer/tls_verify_error.h"

namespace velmora {

std::string pinOfPublicKey(const std::string& publicKeyDer)
{
    const std::string digest = sha256(publicKeyDer);
    if (digest.empty())
        return {};
    return "sha256//" + base64Encode(digest);
}

std::string fingerprintText(const std::string& pin)
{
    std::string base64 = pin.rfind("sha256//", 0) == 0 ? pin.substr(8) : pin;
    while (!base64.empty() && base64.back() == '=')
        base64.pop_back();
    return "SHA256:" + base64;
}

std::string verifyFailureText(long verifyError, const std::string& host)
{
    switch (certificateFault(verifyError)) {
    case CertificateFault::None:
        return "Das Zertifikat des Servers ist nicht f\xFCr den Namen \"" + host +
               "\" ausgestellt.";
    case CertificateFault::SelfSigned:
        return "Das Zertifikat des Servers ist selbst signiert.";
    case CertificateFault::UnknownAuthority:
        return "Das Zertifikat des Servers stammt von keiner bekannten Zertifizierungsstelle.";
    case CertificateFault::Expired:
        return "Das Zertifikat des Servers ist abgelaufen.";
    case CertificateFault::NotYetValid:
        return "Das Zertifikat des Servers ist noch nicht g\xFCltig.";
    case CertificateFault::Other:
        break;
    }
    return "Das Zertifikat des Servers kann nicht gepr\xFC"
           "ft werden (" +
           verifyErrorName(verifyError) + ").";
}

} // namespace velmora

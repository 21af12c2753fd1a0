#pragma once
// Server certificates for TLS tests, made by the openssl tool into a test's folder: self-signed
// ones, and a private certificate authority with certificates it signed. All are for 127.0.0.1,
// where the test servers listen, unless another name is given.

#include <string>

namespace velmora::test {

struct TestCertificate {
    std::string certificateFile; // PEM
    std::string keyFile;         // PEM, unencrypted
    std::string bothFile; // certificate followed by key, as pure-ftpd and pyftpdlib read them
    std::string pin;      // "sha256//<Base64>" of the public key
};

// A new key and a self-signed certificate in folder, files named after name.
TestCertificate makeSelfSignedCertificate(const std::string& folder, const std::string& name,
                                          const std::string& host = "127.0.0.1");

// A new certificate authority in folder: its certificate is certificateFile.
TestCertificate makeCertificateAuthority(const std::string& folder, const std::string& name);

// A new key with a certificate for host signed by authority.
TestCertificate makeSignedCertificate(const TestCertificate& authority, const std::string& folder,
                                      const std::string& name,
                                      const std::string& host = "127.0.0.1");

} // namespace velmora::test

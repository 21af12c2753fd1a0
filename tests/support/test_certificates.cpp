#include "support/test_certificates.h"

#include "support/file_bytes.h"
#include "support/launched_program.h"

#include <stdexcept>

namespace velmora::test {
namespace {

void run(const std::string& command)
{
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
        throw std::runtime_error("failed: " + command);
}

std::string subjectAlternativeName(const std::string& host)
{
    const bool address = host.find_first_not_of("0123456789.") == std::string::npos;
    return (address ? "IP:" : "DNS:") + host;
}

TestCertificate filesFor(const std::string& folder, const std::string& name)
{
    TestCertificate made;
    made.certificateFile = folder + "/" + name + ".crt";
    made.keyFile = folder + "/" + name + ".key";
    made.bothFile = folder + "/" + name + ".pem";
    return made;
}

void finish(TestCertificate& made)
{
    writeFileBytes(made.bothFile, fileBytes(made.certificateFile) + fileBytes(made.keyFile));
    const std::string base64 = commandOutput(
        "openssl x509 -in '" + made.certificateFile +
        "' -pubkey -noout | openssl pkey -pubin -outform der | openssl dgst -sha256 -binary | "
        "base64 -w0");
    if (base64.empty())
        throw std::runtime_error("no public key in " + made.certificateFile);
    made.pin = "sha256//" + base64;
}

} // namespace

TestCertificate makeSelfSignedCertificate(const std::string& folder, const std::string& name,
                                          const std::string& host)
{
    TestCertificate made = filesFor(folder, name);
    run("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
        "-subj /CN=" +
        host + " -addext subjectAltName=" + subjectAlternativeName(host) + " -keyout '" +
        made.keyFile + "' -out '" + made.certificateFile + "'");
    finish(made);
    return made;
}

TestCertificate makeCertificateAuthority(const std::string& folder, const std::string& name)
{
    TestCertificate made = filesFor(folder, name);
    run("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
        "-subj '/CN=Velmora Test CA' -addext basicConstraints=critical,CA:TRUE "
        "-addext keyUsage=critical,keyCertSign,cRLSign -keyout '" +
        made.keyFile + "' -out '" + made.certificateFile + "'");
    finish(made);
    return made;
}

TestCertificate makeSignedCertificate(const TestCertificate& authority, const std::string& folder,
                                      const std::string& name, const std::string& host)
{
    TestCertificate made = filesFor(folder, name);
    const std::string request = folder + "/" + name + ".csr";
    const std::string extensions = folder + "/" + name + ".ext";
    writeFileBytes(extensions, "subjectAltName=" + subjectAlternativeName(host) +
                                   "\nextendedKeyUsage=serverAuth\n");
    run("openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj /CN=" +
        host + " -keyout '" + made.keyFile + "' -out '" + request + "'");
    run("openssl x509 -req -in '" + request + "' -CA '" + authority.certificateFile + "' -CAkey '" +
        authority.keyFile + "' -CAcreateserial -days 2 -extfile '" + extensions + "' -out '" +
        made.certificateFile + "'");
    finish(made);
    return made;
}

} // namespace velmora::test

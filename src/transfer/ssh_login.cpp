#include "transfer/ssh_login.h"

#include "core/local_file.h"

#include <cstdlib>
#include <filesystem>

namespace velmora {
namespace {

// The key type a private key file holds, from its public half beside it, else from its name.
bool isRsaKeyFile(const std::string& path)
{
    const std::string pub = readWholeFile(path + ".pub").value_or(std::string());
    if (!pub.empty())
        return pub.rfind("ssh-rsa ", 0) == 0;
    return path.size() >= 6 && path.compare(path.size() - 6, 6, "id_rsa") == 0;
}

} // namespace

std::vector<std::string> defaultSshKeyFiles()
{
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return {};
    const std::string ssh = std::string(home) + "/.ssh/";
    return {ssh + "id_ed25519", ssh + "id_ecdsa", ssh + "id_rsa"};
}

std::string firstExistingKeyFile(const std::vector<std::string>& keyFiles)
{
    for (const auto& candidate : keyFiles)
        if (std::filesystem::exists(candidate))
            return candidate;
    return {};
}

std::string localLoginName()
{
    for (const char* variable : {"USER", "LOGNAME"})
        if (const char* name = std::getenv(variable); name && *name)
            return name;
    return {};
}

void setSshLogin(CURL* handle, const std::string& user, const std::string& password,
                 const std::string& keyFile)
{
    curl_easy_setopt(handle, CURLOPT_USERNAME, user.c_str());
    if (!password.empty()) {
        curl_easy_setopt(handle, CURLOPT_SSH_AUTH_TYPES,
                         static_cast<long>(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
        curl_easy_setopt(handle, CURLOPT_PASSWORD, password.c_str());
        return;
    }
    long types = CURLSSH_AUTH_AGENT;
    if (!keyFile.empty()) {
        types |= CURLSSH_AUTH_PUBLICKEY;
        curl_easy_setopt(handle, CURLOPT_SSH_PRIVATE_KEYFILE, keyFile.c_str());
    }
    curl_easy_setopt(handle, CURLOPT_SSH_AUTH_TYPES, types);
}

std::string refusedKeyNote(const std::string& keyFile)
{
    if (keyFile.empty() || !isRsaKeyFile(keyFile))
        return {};
    return "Der Schl\xFCssel " + keyFile +
           " ist ein RSA-Schl\xFCssel. Diese Version unterschreibt RSA nur "
           "mit SHA-1, das aktuelle SSH-Server ablehnen. Bitte einen "
           "ed25519-Schl\xFC"
           "ssel verwenden.";
}

} // namespace velmora

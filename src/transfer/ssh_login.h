#pragma once
// How an SFTP session logs in: with a typed password alone, or without one through the SSH agent
// and the presenter's own key file, the way ssh itself does.

#include <curl/curl.h>

#include <string>
#include <vector>

namespace velmora {

// The key files tried when no password is typed, the first one that exists (ed25519 first:
// libssh2 1.10 signs RSA keys with SHA-1 only).
std::vector<std::string> defaultSshKeyFiles();

// The first of keyFiles that exists; empty when none does.
std::string firstExistingKeyFile(const std::vector<std::string>& keyFiles);

// SSH has no anonymous login; like ssh itself, an empty user name means the presenter's own.
// Empty when the environment names none.
std::string localLoginName();

// Logs handle in as user: with password alone when one is typed, else through the agent and
// keyFile (when not empty).
void setSshLogin(CURL* handle, const std::string& user, const std::string& password,
                 const std::string& keyFile);

// Why the server refused the login with keyFile, where more can be said than that it did: the
// RSA key that current servers no longer accept from this library. Empty otherwise.
std::string refusedKeyNote(const std::string& keyFile);

} // namespace velmora

#include "transfer/ssh_host_key_check.h"

#include "transfer/ssh_host_key.h"

#include <filesystem>
#include <fstream>

namespace velmora {
namespace {

// The form the trust questions show for TLS keys too.
std::string pinOf(const std::string& fingerprint)
{
    return "sha256//" + fingerprint.substr(fingerprint.find(':') + 1);
}

} // namespace

void SshHostKeyCheck::start(const SshTrust& trust, const std::string& host)
{
    namespace fs = std::filesystem;
    SshKnownHostsFile knownHosts(trust.knownHostsFile);
    if (!fs::exists(trust.knownHostsFile)) {
        std::ofstream(trust.knownHostsFile, std::ios::app).flush();
        std::error_code error;
        fs::permissions(trust.knownHostsFile, fs::perms::owner_read | fs::perms::owner_write,
                        error);
    }
    *this = {};
    host_ = host;
    knownText_ = knownHosts.text();
    userKnownText_ = SshKnownHostsFile(trust.userKnownHostsFile).text();
    file_ = std::move(knownHosts);
}

void SshHostKeyCheck::attachTo(CURL* handle, const std::string& knownHostsFile)
{
    curl_easy_setopt(handle, CURLOPT_SSH_KNOWNHOSTS, knownHostsFile.c_str());
    curl_easy_setopt(handle, CURLOPT_SSH_KEYFUNCTION, &SshHostKeyCheck::check);
    curl_easy_setopt(handle, CURLOPT_SSH_KEYDATA, this);
}

void SshHostKeyCheck::beforeConnect()
{
    seenBlob_.clear();
    changed_ = false;
    revoked_ = false;
}

int SshHostKeyCheck::check(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch,
                           void* userdata)
{
    auto* c = static_cast<SshHostKeyCheck*>(userdata);
    c->seenBlob_ = found->len ? std::string(found->key, found->len)
                              : decodeKeyBlob(found->key ? found->key : "");
    if (c->seenBlob_.empty())
        return CURLKHSTAT_REJECT;
    // Both files are read before any match counts: a key revoked in one of them is refused
    // although the other one trusts it.
    std::string known, userKnown;
    const KnownHostMatch match = findKnownHost(c->knownText_, c->host_, c->seenBlob_, &known);
    const KnownHostMatch userMatch =
        findKnownHost(c->userKnownText_, c->host_, c->seenBlob_, &userKnown);
    c->revoked_ = match == KnownHostMatch::Revoked || userMatch == KnownHostMatch::Revoked;
    if (c->revoked_)
        return CURLKHSTAT_REJECT;
    if (!c->acceptedBlob_.empty() && c->acceptedBlob_ == c->seenBlob_) {
        // A key that cannot be remembered is still trusted for this connection: the presenter
        // said so, and will be asked again next time.
        c->file_.remember(c->host_, c->seenBlob_);
        return CURLKHSTAT_FINE;
    }
    // The Work folder's file speaks first: a key the presenter accepted there replaces the one
    // ssh knows.
    const KnownHostMatch decided = match == KnownHostMatch::Missing ? userMatch : match;
    if (decided == KnownHostMatch::Match)
        return CURLKHSTAT_FINE;
    c->changed_ = decided == KnownHostMatch::Mismatch;
    c->rememberedBase64_ = match == KnownHostMatch::Missing ? userKnown : known;
    return CURLKHSTAT_REJECT;
}

bool SshHostKeyCheck::askAboutRefusedKey(const SshTrust& trust, UntrustedServer& untrusted)
{
    untrusted.pin = pinOf(sshKeyFingerprint(seenBlob_));
    bool trusted = false;
    if (revoked_) {
        // Never offered for trust: no answer could undo a revocation.
        untrusted.reason = "Er ist in known_hosts als widerrufen (@revoked) eingetragen.";
        return false;
    }
    if (changed_) {
        untrusted.rememberedPin = pinOf(fingerprintOfBase64Key(rememberedBase64_));
        trusted = trust.askChanged && trust.askChanged(untrusted);
    } else {
        untrusted.reason = "Der Schl\xFCssel des Servers ist noch nicht bekannt.";
        trusted = trust.askUnknown && trust.askUnknown(untrusted);
    }
    if (trusted)
        acceptedBlob_ = seenBlob_;
    return trusted;
}

} // namespace velmora

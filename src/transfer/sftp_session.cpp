#include "transfer/sftp_session.h"

#include "transfer/curl_handles.h"
#include "transfer/curl_request_parts.h"
#include "transfer/curl_transfer_loop.h"
#include "transfer/server_address.h"
#include "transfer/ssh_host_key.h"
#include "transfer/ssh_known_hosts_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace velmora {
namespace {

// libcurl's SFTP quote commands take a name in double quotes with backslash escapes, so that
// spaces and quotes stay part of it.
std::string quoted(const std::string& path)
{
    std::string out = "\"";
    for (const char c : path) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

size_t discard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

std::string fileText(const std::string& path)
{
    if (path.empty())
        return {};
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The key type a private key file holds, from its public half beside it; empty when unknown.
bool isRsaKeyFile(const std::string& path)
{
    const std::string pub = fileText(path + ".pub");
    if (!pub.empty())
        return pub.rfind("ssh-rsa ", 0) == 0;
    return path.size() >= 6 && path.compare(path.size() - 6, 6, "id_rsa") == 0;
}

// SSH has no anonymous login; like ssh itself, an empty user name means the presenter's own.
std::string localLoginName()
{
    for (const char* variable : {"USER", "LOGNAME"})
        if (const char* name = std::getenv(variable); name && *name)
            return name;
    return {};
}

// The form the trust questions show for TLS keys too.
std::string pinOf(const std::string& fingerprint)
{
    return "sha256//" + fingerprint.substr(fingerprint.find(':') + 1);
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

struct SftpSession::Impl {
    FtpTimeouts timeouts;
    SshTrust trust;
    std::vector<std::string> keyFiles;
    UntrustedServer untrusted;
    std::string loginNote;
    std::optional<std::chrono::steady_clock::time_point> deadline;

    // What the host key check of one connect saw and may accept.
    struct HostKeyCheck {
        std::string host; // known-hosts form
        std::string knownText;
        std::string userKnownText;
        std::string acceptedBlob; // the key the presenter just vouched for
        std::string seenBlob;
        std::string rememberedBase64; // a different key known for the host
        bool changed = false;
        bool rememberFailed = false;
        // Lives as long as the session: libcurl checks the key again whenever it has to open a
        // new connection for a later request.
        SshKnownHostsFile file{""};
    } check;

    CurlMulti multi;
    CurlEasy easy;
    std::string baseUrl;
    std::string home;   // the login folder as the server names it
    std::string prefix; // the current directory: "~" or below, or absolute
    TransferLoopCounters counters;

    static int checkHostKey(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch,
                            void* userdata)
    {
        auto* c = static_cast<HostKeyCheck*>(userdata);
        c->seenBlob = found->len ? std::string(found->key, found->len)
                                 : decodeKeyBlob(found->key ? found->key : "");
        if (c->seenBlob.empty())
            return CURLKHSTAT_REJECT;
        if (!c->acceptedBlob.empty() && c->acceptedBlob == c->seenBlob) {
            c->rememberFailed = !c->file.remember(c->host, c->seenBlob);
            return CURLKHSTAT_FINE;
        }
        std::string known;
        KnownHostMatch match = findKnownHost(c->knownText, c->host, c->seenBlob, &known);
        if (match == KnownHostMatch::Missing)
            match = findKnownHost(c->userKnownText, c->host, c->seenBlob, &known);
        if (match == KnownHostMatch::Match)
            return CURLKHSTAT_FINE;
        c->changed = match == KnownHostMatch::Mismatch;
        c->rememberedBase64 = known;
        return CURLKHSTAT_REJECT;
    }

    CURLcode perform(const std::string& path, const std::vector<std::string>& commands,
                     bool listing, std::FILE* upload = nullptr, curl_off_t size = -1)
    {
        if (!easy || !multi)
            return CURLE_FAILED_INIT;
        const std::optional<long> timeLimitMs = timeLeftMs(deadline);
        if (!timeLimitMs)
            return CURLE_OPERATION_TIMEDOUT;
        const std::optional<CurlList> quotes = curlCommandList(commands);
        if (!quotes)
            return CURLE_OUT_OF_MEMORY;
        CURL* h = easy.get();
        const std::string url = baseUrl + escapeUrlPath(path, LeadingSlash::Kept);
        curl_easy_setopt(h, CURLOPT_URL, url.c_str());
        curl_easy_setopt(h, CURLOPT_QUOTE, quotes->get());
        curl_easy_setopt(h, CURLOPT_NOBODY, (listing || upload) ? 0L : 1L);
        curl_easy_setopt(h, CURLOPT_DIRLISTONLY, listing ? 1L : 0L);
        curl_easy_setopt(h, CURLOPT_UPLOAD, upload ? 1L : 0L);
        curl_easy_setopt(h, CURLOPT_READFUNCTION, upload ? readFromFile : nullptr);
        curl_easy_setopt(h, CURLOPT_READDATA, upload);
        curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, size);
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, *timeLimitMs);
        const CURLcode result = runTransfer(multi.get(), h, &counters);
        curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);
        return result;
    }

    // A name below the current directory, in the form libcurl expands ("/~/" is the home).
    std::string remote(const std::string& name) const
    {
        const std::string dir = prefix[0] == '/' ? prefix : "/" + prefix;
        return name.empty() ? dir + "/" : dir + "/" + name;
    }

    // The same name for a quote command. libcurl expands "/~/" only outside quotes, and a name
    // with spaces needs them: a relative name starts in the login folder as well.
    std::string quotable(const std::string& name) const
    {
        if (prefix == "~")
            return name;
        if (prefix.rfind("~/", 0) == 0)
            return prefix.substr(2) + "/" + name;
        return prefix + "/" + name;
    }
};

SftpSession::SftpSession(FtpTimeouts timeouts, SshTrust trust, std::vector<std::string> keyFiles)
    : impl_(std::make_unique<Impl>())
{
    impl_->timeouts = timeouts;
    impl_->trust = std::move(trust);
    impl_->keyFiles = std::move(keyFiles);
}

SftpSession::~SftpSession()
{
    close();
}

bool SftpSession::isOpen() const
{
    return impl_->easy && impl_->multi;
}

void SftpSession::limitTo(std::chrono::steady_clock::time_point deadline)
{
    if (!impl_->deadline || deadline < *impl_->deadline)
        impl_->deadline = deadline;
}

FtpOpenResult SftpSession::open(const std::string& serverName, const std::string& userName,
                                const std::string& password)
{
    close();
    impl_->untrusted = {};
    impl_->loginNote.clear();
    if (!curlLibraryReady())
        return FtpOpenResult::InternetUnavailable;
    const auto address = parseServerAddress(serverName);
    const std::string user = userName.empty() ? localLoginName() : userName;
    if (!address || address->transport != Transport::Sftp || user.empty() || !safeName(user) ||
        !safeName(password) || impl_->trust.knownHostsFile.empty())
        return FtpOpenResult::ServerUnreachable;
    // libcurl writes nothing there (the session does), but reads it only when it exists; made
    // owner-only before the first key goes in.
    namespace fs = std::filesystem;
    SshKnownHostsFile knownHosts(impl_->trust.knownHostsFile);
    if (!fs::exists(impl_->trust.knownHostsFile)) {
        std::ofstream(impl_->trust.knownHostsFile, std::ios::app).flush();
        std::error_code error;
        fs::permissions(impl_->trust.knownHostsFile, fs::perms::owner_read | fs::perms::owner_write,
                        error);
    }
    auto& check = impl_->check;
    check = {};
    check.host = knownHostsName(address->host, address->port);
    check.knownText = knownHosts.text();
    check.userKnownText = fileText(impl_->trust.userKnownHostsFile);
    check.file = std::move(knownHosts);
    impl_->untrusted.server = serverKeyName(*address);

    std::string keyFile;
    for (const auto& candidate : impl_->keyFiles) {
        if (fs::exists(candidate)) {
            keyFile = candidate;
            break;
        }
    }
    impl_->baseUrl = "sftp://" + address->host + ":" + std::to_string(address->port);
    impl_->prefix = "~";
    impl_->counters = {};

    FtpOpenResult result = FtpOpenResult::ServerUnreachable;
    for (int attempt = 0; attempt < 2; ++attempt) {
        CurlMulti multi(curl_multi_init());
        CurlEasy easy(curl_easy_init());
        if (!multi || !easy)
            return FtpOpenResult::InternetUnavailable;
        CURL* h = easy.get();
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "sftp");
        curl_easy_setopt(h, CURLOPT_SSH_KNOWNHOSTS, impl_->trust.knownHostsFile.c_str());
        curl_easy_setopt(h, CURLOPT_SSH_KEYFUNCTION, &Impl::checkHostKey);
        curl_easy_setopt(h, CURLOPT_SSH_KEYDATA, &check);
        curl_easy_setopt(h, CURLOPT_USERNAME, user.c_str());
        if (!password.empty()) {
            curl_easy_setopt(h, CURLOPT_SSH_AUTH_TYPES,
                             static_cast<long>(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
            curl_easy_setopt(h, CURLOPT_PASSWORD, password.c_str());
        } else {
            long types = CURLSSH_AUTH_AGENT;
            if (!keyFile.empty()) {
                types |= CURLSSH_AUTH_PUBLICKEY;
                curl_easy_setopt(h, CURLOPT_SSH_PRIVATE_KEYFILE, keyFile.c_str());
            }
            curl_easy_setopt(h, CURLOPT_SSH_AUTH_TYPES, types);
        }
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, impl_->timeouts.connectSeconds);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, impl_->timeouts.stallSeconds);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, discard);
        impl_->multi = std::move(multi);
        impl_->easy = std::move(easy);

        check.seenBlob.clear();
        check.changed = false;
        const CURLcode code = impl_->perform("/~/", {}, false);
        if (code == CURLE_OK) {
            char* entry = nullptr;
            if (curl_easy_getinfo(impl_->easy.get(), CURLINFO_FTP_ENTRY_PATH, &entry) == CURLE_OK &&
                entry && *entry == '/' && safeName(entry))
                impl_->home = entry;
            result = FtpOpenResult::Connected;
            break;
        }
        close();
        if (code == CURLE_LOGIN_DENIED && password.empty() && !keyFile.empty() &&
            isRsaKeyFile(keyFile))
            impl_->loginNote = "Der Schl\xFCssel " + keyFile +
                               " ist ein RSA-Schl\xFCssel. Diese Version unterschreibt RSA nur "
                               "mit SHA-1, das aktuelle SSH-Server ablehnen. Bitte einen "
                               "ed25519-Schl\xFC"
                               "ssel verwenden.";
        if (code != CURLE_PEER_FAILED_VERIFICATION || check.seenBlob.empty() || attempt > 0)
            break;
        impl_->untrusted.pin = pinOf(sshKeyFingerprint(check.seenBlob));
        bool trusted = false;
        if (check.changed) {
            impl_->untrusted.rememberedPin = pinOf(fingerprintOfBase64Key(check.rememberedBase64));
            trusted = impl_->trust.askChanged && impl_->trust.askChanged(impl_->untrusted);
            result = trusted ? result : FtpOpenResult::ServerKeyChanged;
        } else {
            impl_->untrusted.reason = "Der Schl\xFCssel des Servers ist noch nicht bekannt.";
            trusted = impl_->trust.askUnknown && impl_->trust.askUnknown(impl_->untrusted);
        }
        if (!trusted)
            break;
        check.acceptedBlob = check.seenBlob;
    }
    if (result != FtpOpenResult::Connected)
        close();
    return result;
}

bool SftpSession::stillAnswers()
{
    // A listing: libcurl reports its failure, while it ignores a failed look at a file's time,
    // and a request without body reaches no server on a connection it already has. Any server
    // lists, where not all know the shorter requests of OpenSSH.
    return isOpen() && impl_->perform("/~/", {}, true) == CURLE_OK;
}

bool SftpSession::putFile(const std::string& localPath, const std::string& remotePath)
{
    if (!isOpen() || remotePath.empty() || !safeName(remotePath))
        return false;
    FileHandle file(std::fopen(localPath.c_str(), "rb"));
    if (!file)
        return false;
    curl_off_t size = -1;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        size = std::ftell(file.get());
        std::rewind(file.get());
    }
    return impl_->perform(impl_->remote(remotePath), {}, false, file.get(), size) == CURLE_OK;
}

bool SftpSession::setCurrentDirectory(const std::string& directory)
{
    if (!isOpen() || directory.empty() || !safeName(directory))
        return false;
    const std::string before = impl_->prefix;
    impl_->prefix = directory[0] == '/' ? directory : before + "/" + directory;
    while (impl_->prefix.size() > 1 && impl_->prefix.back() == '/')
        impl_->prefix.pop_back();
    // Only a listing fails for a missing folder; a request without body succeeds for any name.
    if (impl_->perform(impl_->remote(""), {}, true) == CURLE_OK)
        return true;
    impl_->prefix = before;
    return false;
}

std::optional<std::string> SftpSession::currentDirectory()
{
    if (!isOpen())
        return std::nullopt;
    const std::string& prefix = impl_->prefix;
    if (prefix[0] == '/')
        return prefix;
    if (impl_->home.empty())
        return std::nullopt;
    std::string home = impl_->home;
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    if (prefix == "~")
        return home;
    return (home == "/" ? "" : home) + prefix.substr(1);
}

bool SftpSession::deleteFile(const std::string& name)
{
    if (!isOpen() || name.empty() || !safeName(name))
        return false;
    return impl_->perform(impl_->remote(""), {"rm " + quoted(impl_->quotable(name))}, false) ==
           CURLE_OK;
}

FtpRenameResult SftpSession::renameFile(const std::string& from, const std::string& to)
{
    if (!isOpen() || from.empty() || to.empty() || !safeName(from) || !safeName(to))
        return FtpRenameResult::Failed;
    const std::string source = quoted(impl_->quotable(from));
    const std::string target = quoted(impl_->quotable(to));
    const CURLcode code = impl_->perform(
        impl_->remote(""), {"*rm " + target, "rename " + source + " " + target}, false);
    return code == CURLE_OK ? FtpRenameResult::Renamed : FtpRenameResult::Failed;
}

void SftpSession::close()
{
    impl_->easy.reset();
    impl_->multi.reset();
}

const UntrustedServer& SftpSession::untrustedServer() const
{
    return impl_->untrusted;
}

const std::string& SftpSession::loginFailureNote() const
{
    return impl_->loginNote;
}

const TransferLoopCounters& SftpSession::transferCounters() const
{
    return impl_->counters;
}

} // namespace velmora

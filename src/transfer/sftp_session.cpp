#include "transfer/sftp_session.h"

#include "transfer/curl_handles.h"
#include "transfer/curl_request_parts.h"
#include "transfer/server_address.h"
#include "transfer/sftp_connection.h"
#include "transfer/ssh_host_key.h"
#include "transfer/ssh_host_key_check.h"

namespace velmora {
namespace {

size_t discard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

} // namespace

struct SftpSession::Impl {
    FtpTimeouts timeouts;
    SshTrust trust;
    std::vector<std::string> keyFiles;
    UntrustedServer untrusted;
    std::string loginNote;
    // Lives as long as the session, for the new connections libcurl may open later.
    SshHostKeyCheck check;
    SftpConnection connection;
    std::string home; // the login folder as the server names it

    // Handles for one connect to the server at the connection's base URL, checking the host key
    // and logging in. False when libcurl gave no handles.
    bool setUpConnection(const std::string& user, const std::string& password,
                         const std::string& keyFile)
    {
        CurlMulti multi(curl_multi_init());
        CurlEasy easy(curl_easy_init());
        if (!multi || !easy)
            return false;
        CURL* h = easy.get();
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "sftp");
        check.attachTo(h, trust.knownHostsFile);
        setSshLogin(h, user, password, keyFile);
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, timeouts.connectSeconds);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, timeouts.stallSeconds);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, discard);
        connection.adopt(std::move(multi), std::move(easy));
        return true;
    }

    // Where libcurl found the login to start, when the server named it usably.
    void noteHome()
    {
        char* entry = nullptr;
        if (curl_easy_getinfo(connection.handle(), CURLINFO_FTP_ENTRY_PATH, &entry) == CURLE_OK &&
            entry && *entry == '/' && safeName(entry))
            home = entry;
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
    return impl_->connection.isOpen();
}

void SftpSession::limitTo(std::chrono::steady_clock::time_point deadline)
{
    impl_->connection.limitTo(deadline);
}

FtpOpenResult SftpSession::open(const std::string& serverName, const std::string& userName,
                                const std::string& password)
{
    close();
    impl_->untrusted = {};
    impl_->loginNote.clear();
    impl_->home.clear();
    if (!curlLibraryReady())
        return FtpOpenResult::InternetUnavailable;
    const auto address = parseServerAddress(serverName);
    const std::string user = userName.empty() ? localLoginName() : userName;
    if (!address || address->transport != Transport::Sftp || user.empty() || !safeName(user) ||
        !safeName(password) || impl_->trust.knownHostsFile.empty())
        return FtpOpenResult::ServerUnreachable;
    SshHostKeyCheck& check = impl_->check;
    check.start(impl_->trust, knownHostsName(address->host, address->port));
    impl_->untrusted.server = serverKeyName(*address);
    const std::string keyFile = firstExistingKeyFile(impl_->keyFiles);
    impl_->connection.start("sftp://" + address->host + ":" + std::to_string(address->port),
                            std::chrono::seconds(impl_->timeouts.responseSeconds));

    FtpOpenResult result = FtpOpenResult::ServerUnreachable;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!impl_->setUpConnection(user, password, keyFile))
            return FtpOpenResult::InternetUnavailable;
        check.beforeConnect();
        const CURLcode code = impl_->connection.perform("/~/", {}, false);
        if (code == CURLE_OK) {
            impl_->noteHome();
            result = FtpOpenResult::Connected;
            break;
        }
        close();
        if (code == CURLE_LOGIN_DENIED && password.empty())
            impl_->loginNote = refusedKeyNote(keyFile);
        if (code != CURLE_PEER_FAILED_VERIFICATION || !check.refusedAKey() || attempt > 0)
            break;
        if (!check.askAboutRefusedKey(impl_->trust, impl_->untrusted)) {
            if (check.keyRevoked())
                result = FtpOpenResult::ServerKeyRevoked;
            else if (check.keyChanged())
                result = FtpOpenResult::ServerKeyChanged;
            break;
        }
    }
    if (result != FtpOpenResult::Connected)
        close();
    return result;
}

bool SftpSession::stillAnswers()
{
    if (!isOpen())
        return false;
    SftpConnection& connection = impl_->connection;
    // One request and its answer, whatever the folders hold: the file system figures of the login
    // folder, a request of OpenSSH that most servers know. libcurl reports its failure, where it
    // ignores a failed look at a file's time, and a request without body and without command
    // reaches no server on a connection it already has.
    const CURLcode code = connection.perform(connection.urlPath(""), {"statvfs ."}, false);
    if (code != CURLE_QUOTE_ERROR)
        return code == CURLE_OK;
    // Refused, perhaps as unknown: a listing of the current folder, the presentation's few
    // pictures rather than the login folder, tells whether the server still answers.
    return connection.perform(connection.urlPath(""), {}, true) == CURLE_OK;
}

bool SftpSession::putBytes(const std::string& bytes, const std::string& remotePath, TransferType)
{
    if (!isOpen() || remotePath.empty() || !safeName(remotePath))
        return false;
    SftpConnection& connection = impl_->connection;
    return connection.perform(connection.urlPath(remotePath), {}, false, &bytes) == CURLE_OK;
}

bool SftpSession::setCurrentDirectory(const std::string& directory)
{
    if (!isOpen() || directory.empty() || !safeName(directory))
        return false;
    SftpConnection& connection = impl_->connection;
    const std::string before = connection.prefix();
    std::string prefix = directory[0] == '/' ? directory : before + "/" + directory;
    while (prefix.size() > 1 && prefix.back() == '/')
        prefix.pop_back();
    connection.setPrefix(prefix);
    // Only a listing fails for a missing folder; a request without body succeeds for any name.
    if (connection.perform(connection.urlPath(""), {}, true) == CURLE_OK)
        return true;
    connection.setPrefix(before);
    return false;
}

std::optional<std::string> SftpSession::currentDirectory()
{
    if (!isOpen())
        return std::nullopt;
    const std::string& prefix = impl_->connection.prefix();
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
    SftpConnection& connection = impl_->connection;
    return connection.perform(connection.urlPath(""),
                              {"rm " + quotedSftpName(connection.quotable(name))},
                              false) == CURLE_OK;
}

std::optional<long long> SftpSession::fileSize(const std::string&)
{
    return std::nullopt;
}

FtpRenameResult SftpSession::renameFile(const std::string& from, const std::string& to)
{
    if (!isOpen() || from.empty() || to.empty() || !safeName(from) || !safeName(to))
        return FtpRenameResult::Failed;
    SftpConnection& connection = impl_->connection;
    const std::string source = quotedSftpName(connection.quotable(from));
    const std::string target = quotedSftpName(connection.quotable(to));
    const CURLcode code = connection.perform(
        connection.urlPath(""), {"*rm " + target, "rename " + source + " " + target}, false);
    return code == CURLE_OK ? FtpRenameResult::Renamed : FtpRenameResult::Failed;
}

void SftpSession::close()
{
    impl_->connection.close();
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
    return impl_->connection.counters();
}

} // namespace velmora

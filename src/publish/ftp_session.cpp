#include "publish/ftp_session.h"

#include "publish/curl_handles.h"
#include "publish/curl_request_parts.h"
#include "publish/curl_transfer_loop.h"
#include "publish/ftp_reply.h"
#include "publish/server_address.h"
#include "publish/server_key_store.h"
#include "publish/sftp_session.h"
#include "publish/ssh_known_hosts_file.h"
#include "publish/tls_peer_key.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace velmora {
namespace {

// A line break or NUL inside the user name or password would let a text smuggle a second command
// onto the control connection.
bool safeArgument(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

// In ASCII mode libcurl writes every LF as CR LF on this platform; a file that already has CR LF
// line ends would reach the server as CR CR LF.
std::string withBareLineFeeds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

struct MemorySource {
    const std::string* bytes;
    std::size_t offset = 0;
};

size_t readFromMemory(char* buffer, size_t size, size_t count, void* userdata)
{
    auto* source = static_cast<MemorySource*>(userdata);
    const std::size_t n = std::min(size * count, source->bytes->size() - source->offset);
    std::memcpy(buffer, source->bytes->data() + source->offset, n);
    source->offset += n;
    return n;
}

int recordDialogue(CURL*, curl_infotype type, char* data, size_t size, void* userdata)
{
    auto* dialogue = static_cast<FtpDialogue*>(userdata);
    if (type == CURLINFO_HEADER_OUT)
        dialogue->sent(std::string(data, size));
    else if (type == CURLINFO_HEADER_IN)
        dialogue->received(std::string(data, size));
    return 0;
}

// SFTP keeps its host keys beside the TLS keys, in OpenSSH's own format, and honours the
// presenter's ~/.ssh/known_hosts without ever writing it.
SshTrust sshTrustOf(const ServerTrust& trust)
{
    SshTrust ssh;
    const std::string& keys = trust.files.keyFile;
    if (!keys.empty())
        ssh.knownHostsFile = keys.substr(0, keys.rfind('/') + 1) + kSshKnownHostsFileName;
    if (const char* home = std::getenv("HOME"); home && *home)
        ssh.userKnownHostsFile = std::string(home) + "/.ssh/known_hosts";
    ssh.askUnknown = trust.askUnverified;
    ssh.askChanged = trust.askChanged;
    return ssh;
}

bool succeeded(const FtpExchange* exchange)
{
    return exchange && exchange->replyCode >= 200 && exchange->replyCode < 300;
}

} // namespace

struct FtpSession::Impl {
    FtpTimeouts timeouts;
    ServerTrust trust;
    TlsPeerKey peerKey;
    UntrustedServer untrusted;
    std::string loginNote;
    std::optional<std::chrono::steady_clock::time_point> deadline;
    // Declared before the handles, which libcurl may still use while it cleans up.
    FtpDialogue dialogue;
    // Keeps the control connection between the operations of the session.
    CurlMulti multi;
    CurlEasy easy;
    std::string baseUrl;
    // The server's absolute name of a directory set by setCurrentDirectory. Should libcurl have
    // to open a new control connection (after a time-out it drops the old one), the next command
    // first returns there, so that a file never lands in the login directory by mistake.
    std::string currentDirectory;
    // Set when a change of directory went half through: where commands would land is unknown.
    bool directoryUnknown = false;
    TransferLoopCounters counters;
    // Set while an sftp:// server is open: every operation goes there instead.
    std::unique_ptr<SftpSession> sftp;

    struct Request {
        std::string path;
        std::vector<std::string> commands;
        bool upload = false;
        TransferType type = TransferType::Binary;
        curl_read_callback read = nullptr;
        void* source = nullptr;
        curl_off_t size = -1;
    };

    bool perform(const Request& request) { return performCode(request) == CURLE_OK; }

    CURLcode performCode(const Request& request)
    {
        if (!easy || !multi || directoryUnknown)
            return CURLE_FAILED_INIT;
        const std::optional<long> timeLimitMs = timeLeftMs(deadline);
        if (!timeLimitMs)
            return CURLE_OPERATION_TIMEDOUT;
        CURL* h = easy.get();
        std::vector<std::string> commands;
        if (!currentDirectory.empty())
            commands.push_back("CWD " + currentDirectory);
        commands.insert(commands.end(), request.commands.begin(), request.commands.end());
        const std::optional<CurlList> quotes = curlCommandList(commands);
        if (!quotes)
            return CURLE_OUT_OF_MEMORY;
        // Options stay set on a reused handle: every request states all of them.
        const std::string url = baseUrl + escapeUrlPath(request.path, LeadingSlash::Escaped);
        curl_easy_setopt(h, CURLOPT_URL, url.c_str());
        curl_easy_setopt(h, CURLOPT_QUOTE, quotes->get());
        curl_easy_setopt(h, CURLOPT_NOBODY, request.upload ? 0L : 1L);
        curl_easy_setopt(h, CURLOPT_UPLOAD, request.upload ? 1L : 0L);
        curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, request.type == TransferType::Ascii ? 1L : 0L);
        curl_easy_setopt(h, CURLOPT_READFUNCTION, request.read);
        curl_easy_setopt(h, CURLOPT_READDATA, request.source);
        curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, request.size);
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, *timeLimitMs);
        dialogue.clear();
        const CURLcode result = runTransfer(multi.get(), h, &counters);
        curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);
        return result;
    }

    // Connects with the certificate checked against the CA store and the host name.
    CURLcode connectVerified()
    {
        CURL* h = easy.get();
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(h, CURLOPT_PINNEDPUBLICKEY, nullptr);
        return connect();
    }

    // Connects only to a server that shows exactly this key; who signed its certificate and for
    // which name no longer matters, the presenter has vouched for the key itself.
    CURLcode connectPinned(const std::string& pin)
    {
        CURL* h = easy.get();
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(h, CURLOPT_PINNEDPUBLICKEY, pin.c_str());
        return connect();
    }

    CURLcode connect()
    {
        peerKey.clear();
        return performCode({});
    }

    // A TLS connection whose server is trusted, asking the presenter where the certificate
    // does not settle it. Both checks fail inside the handshake, before the login is sent.
    FtpOpenResult connectTrusted(const ServerAddress& address)
    {
        const ServerKeyStore store(trust.files.keyFile);
        untrusted = {};
        untrusted.server = serverKeyName(address);
        const auto remembered = store.find(untrusted.server);
        CURLcode result = remembered ? connectPinned(*remembered) : connectVerified();
        if (result == CURLE_OK)
            return FtpOpenResult::Connected;
        const bool keyShown = !peerKey.pin.empty();
        if (remembered && result == CURLE_SSL_PINNEDPUBKEYNOTMATCH && keyShown &&
            peerKey.pin != *remembered) {
            untrusted.pin = peerKey.pin;
            untrusted.rememberedPin = *remembered;
            if (!trust.askChanged || !trust.askChanged(untrusted))
                return FtpOpenResult::ServerKeyChanged;
        } else if (!remembered && result == CURLE_PEER_FAILED_VERIFICATION && keyShown) {
            untrusted.pin = peerKey.pin;
            untrusted.reason = verifyFailureText(peerKey.verifyError, address.host);
            if (!trust.askUnverified || !trust.askUnverified(untrusted))
                return FtpOpenResult::ServerUnreachable;
        } else {
            return FtpOpenResult::ServerUnreachable;
        }
        // A key that cannot be remembered is still trusted for this connection: the presenter
        // said so, and will be asked again next time.
        store.remember(untrusted.server, untrusted.pin);
        const std::string pin = untrusted.pin;
        return connectPinned(pin) == CURLE_OK ? FtpOpenResult::Connected
                                              : FtpOpenResult::ServerUnreachable;
    }
};

FtpSession::FtpSession(FtpTimeouts timeouts, ServerTrust trust) : impl_(std::make_unique<Impl>())
{
    impl_->timeouts = timeouts;
    impl_->trust = std::move(trust);
}

FtpSession::~FtpSession()
{
    close();
}

void FtpSession::setTrust(ServerTrust trust)
{
    impl_->trust = std::move(trust);
}

bool FtpSession::isOpen() const
{
    if (impl_->sftp)
        return impl_->sftp->isOpen();
    return impl_->easy && impl_->multi;
}

void FtpSession::limitTo(std::chrono::steady_clock::time_point deadline)
{
    if (!impl_->deadline || deadline < *impl_->deadline)
        impl_->deadline = deadline;
    if (impl_->sftp)
        impl_->sftp->limitTo(deadline);
}

FtpOpenResult FtpSession::open(const std::string& serverName, const std::string& userName,
                               const std::string& password)
{
    close();
    impl_->loginNote.clear();
    if (!curlLibraryReady())
        return FtpOpenResult::InternetUnavailable;
    CurlMulti multi(curl_multi_init());
    CurlEasy easy(curl_easy_init());
    if (!multi || !easy)
        return FtpOpenResult::InternetUnavailable;
    const auto address = parseServerAddress(serverName);
    if (!address || !safeArgument(userName) || !safeArgument(password))
        return FtpOpenResult::ServerUnreachable;
    if (address->transport == Transport::Sftp) {
        impl_->sftp = std::make_unique<SftpSession>(impl_->timeouts, sshTrustOf(impl_->trust));
        if (impl_->deadline)
            impl_->sftp->limitTo(*impl_->deadline);
        const FtpOpenResult result = impl_->sftp->open(serverName, userName, password);
        impl_->untrusted = impl_->sftp->untrustedServer();
        impl_->loginNote = impl_->sftp->loginFailureNote();
        if (result != FtpOpenResult::Connected)
            impl_->sftp.reset();
        return result;
    }
    const bool tls = address->transport != Transport::Ftp;

    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp,ftps");
    if (tls) {
        // Every connection, data ones included, is protected, or the transfer fails: never a
        // silent fall-back to clear text.
        curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        // TLS 1.3 servers may send session tickets on a data connection after its handshake.
        // An upload never reads them, so closing the connection with them unread resets it, and
        // the server drops the end of the file it had not read yet (measured here against
        // pyftpdlib; vsftpd loses uploads the same way). TLS 1.2 sends none after the handshake.
        const long tls12 = CURL_SSLVERSION_TLSv1_2;
        const long atMostTls12 = CURL_SSLVERSION_MAX_TLSv1_2;
        curl_easy_setopt(h, CURLOPT_SSLVERSION, tls12 | atMostTls12);
        if (!impl_->trust.files.caFile.empty())
            curl_easy_setopt(h, CURLOPT_CAINFO, impl_->trust.files.caFile.c_str());
        recordTlsPeerKey(h, &impl_->peerKey);
    }
    curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(h, CURLOPT_FTP_USE_EPSV, 1L);
    // libcurl would drop "." and ".." segments from the paths of uploads while CWD, DELE, RNFR
    // and RNTO send them as typed: a picture and its rename would land in different folders.
    curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, impl_->timeouts.connectSeconds);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, impl_->timeouts.responseSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, impl_->timeouts.stallSeconds);
    if (!userName.empty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, userName.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password.c_str());
    }
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, recordDialogue);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &impl_->dialogue);

    impl_->multi = std::move(multi);
    impl_->easy = std::move(easy);
    const char* scheme = address->transport == Transport::ImplicitTls ? "ftps://" : "ftp://";
    impl_->baseUrl = scheme + address->host + ":" + std::to_string(address->port) + "/";
    impl_->currentDirectory.clear();
    impl_->directoryUnknown = false;
    impl_->counters = {};
    const FtpOpenResult result =
        tls ? impl_->connectTrusted(*address)
            : (impl_->perform({}) ? FtpOpenResult::Connected : FtpOpenResult::ServerUnreachable);
    if (result != FtpOpenResult::Connected)
        close();
    return result;
}

bool FtpSession::stillAnswers()
{
    if (impl_->sftp)
        return impl_->sftp->stillAnswers();
    if (!isOpen())
        return false;
    Impl::Request request;
    request.commands = {"NOOP"};
    return impl_->perform(request);
}

bool FtpSession::putFile(const std::string& localPath, const std::string& remotePath,
                         TransferType type)
{
    if (impl_->sftp)
        return impl_->sftp->putFile(localPath, remotePath);
    if (!isOpen() || remotePath.empty() || !safeName(remotePath))
        return false;
    FileHandle file(std::fopen(localPath.c_str(), "rb"));
    if (!file)
        return false;
    Impl::Request request;
    request.path = remotePath;
    request.upload = true;
    request.type = type;
    if (type == TransferType::Binary) {
        request.read = readFromFile;
        request.source = file.get();
        if (std::fseek(file.get(), 0, SEEK_END) == 0) {
            request.size = std::ftell(file.get());
            std::rewind(file.get());
        }
        return impl_->perform(request);
    }
    std::string text;
    char buffer[16384];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        text.append(buffer, n);
    if (std::ferror(file.get()))
        return false;
    const std::string lines = withBareLineFeeds(text);
    MemorySource source{&lines};
    request.read = readFromMemory;
    request.source = &source;
    return impl_->perform(request);
}

bool FtpSession::setCurrentDirectory(const std::string& directory)
{
    if (impl_->sftp)
        return impl_->sftp->setCurrentDirectory(directory);
    if (!isOpen() || !safeName(directory))
        return false;
    Impl::Request request;
    request.commands = {"*CWD " + directory, "*PWD"};
    if (!impl_->perform(request) || !succeeded(impl_->dialogue.lastOf("CWD")))
        return false;
    const FtpExchange* pwd = impl_->dialogue.lastOf("PWD");
    const auto where = succeeded(pwd) ? quotedDirectory(pwd->replyText) : std::nullopt;
    if (!where || where->empty() || !safeName(*where)) {
        // The connection is in the new directory, but after a reconnect nothing could bring it
        // back there: the next command might act in the login directory instead.
        impl_->directoryUnknown = true;
        return false;
    }
    impl_->currentDirectory = *where;
    return true;
}

std::optional<std::string> FtpSession::currentDirectory()
{
    if (impl_->sftp)
        return impl_->sftp->currentDirectory();
    if (!isOpen())
        return std::nullopt;
    Impl::Request request;
    request.commands = {"*PWD"};
    if (!impl_->perform(request))
        return std::nullopt;
    const FtpExchange* pwd = impl_->dialogue.lastOf("PWD");
    if (!succeeded(pwd) || pwd->replyCode != 257)
        return std::nullopt;
    auto where = quotedDirectory(pwd->replyText);
    if (where && !safeName(*where))
        return std::nullopt;
    return where;
}

bool FtpSession::deleteFile(const std::string& name)
{
    if (impl_->sftp)
        return impl_->sftp->deleteFile(name);
    if (!isOpen() || name.empty() || !safeName(name))
        return false;
    Impl::Request request;
    request.commands = {"*DELE " + name};
    return impl_->perform(request) && succeeded(impl_->dialogue.lastOf("DELE"));
}

std::optional<long long> FtpSession::fileSize(const std::string& name)
{
    // SFTP acknowledges every written block; a finished upload is whole.
    if (impl_->sftp)
        return std::nullopt;
    if (!isOpen() || name.empty() || !safeName(name))
        return std::nullopt;
    Impl::Request request;
    request.commands = {"*SIZE " + name};
    if (!impl_->perform(request))
        return std::nullopt;
    const FtpExchange* size = impl_->dialogue.lastOf("SIZE");
    if (!size || size->replyCode != 213)
        return std::nullopt;
    // "213 <bytes>", the number alone after the code.
    const std::string& text = size->replyText;
    if (text.size() < 5 || text.find('\n') != std::string::npos)
        return std::nullopt;
    long long value = 0;
    for (std::size_t i = 4; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9' || value > (1LL << 50))
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

FtpRenameResult FtpSession::renameFile(const std::string& from, const std::string& to)
{
    if (impl_->sftp)
        return impl_->sftp->renameFile(from, to);
    if (!isOpen() || from.empty() || to.empty() || !safeName(from) || !safeName(to))
        return FtpRenameResult::Failed;
    Impl::Request request;
    request.commands = {"*RNFR " + from, "*RNTO " + to};
    if (!impl_->perform(request))
        return FtpRenameResult::Failed;
    const FtpExchange* source = impl_->dialogue.lastOf("RNFR");
    if (!source || source->replyCode != 350)
        return FtpRenameResult::Failed;
    const FtpExchange* destination = impl_->dialogue.lastOf("RNTO");
    if (succeeded(destination))
        return FtpRenameResult::Renamed;
    return destination && destination->replyCode >= 400 ? FtpRenameResult::DestinationRefused
                                                        : FtpRenameResult::Failed;
}

void FtpSession::close()
{
    // The handle leaves the multi handle after every transfer; closing the multi handle ends the
    // control connection.
    impl_->sftp.reset();
    impl_->easy.reset();
    impl_->multi.reset();
    impl_->currentDirectory.clear();
    impl_->directoryUnknown = false;
}

const UntrustedServer& FtpSession::untrustedServer() const
{
    return impl_->untrusted;
}

const std::string& FtpSession::loginFailureNote() const
{
    return impl_->loginNote;
}

const TransferLoopCounters& FtpSession::transferCounters() const
{
    if (impl_->sftp)
        return impl_->sftp->transferCounters();
    return impl_->counters;
}

} // namespace velmora

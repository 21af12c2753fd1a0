#include "transfer/ftp_session.h"

#include "transfer/ascii_line_ends.h"
#include "transfer/curl_handles.h"
#include "transfer/curl_request_parts.h"
#include "transfer/ftp_control_connection.h"
#include "transfer/ftp_reply.h"
#include "transfer/server_address.h"
#include "transfer/tls_server_trust.h"

namespace velmora {
namespace {

// A line break or NUL inside the user name or password would let a text smuggle a second command
// onto the control connection.
bool safeArgument(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

bool succeeded(const FtpExchange* exchange)
{
    return exchange && exchange->replyCode >= 200 && exchange->replyCode < 300;
}

} // namespace

struct FtpSession::Impl {
    FtpTimeouts timeouts;
    ServerTrust trust;
    UntrustedServer untrusted;
    std::string loginNote;
    FtpControlConnection ftp;

    bool perform(const FtpControlConnection::Request& request)
    {
        return ftp.perform(request) == CURLE_OK;
    }
    const FtpExchange* last(const std::string& verb) const { return ftp.dialogue().lastOf(verb); }
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

bool FtpSession::isOpen() const
{
    return impl_->ftp.isOpen();
}

void FtpSession::limitTo(std::chrono::steady_clock::time_point deadline)
{
    impl_->ftp.limitTo(deadline);
}

FtpOpenResult FtpSession::open(const std::string& serverName, const std::string& userName,
                               const std::string& password)
{
    close();
    impl_->untrusted = {};
    impl_->loginNote.clear();
    if (!curlLibraryReady())
        return FtpOpenResult::InternetUnavailable;
    const auto address = parseServerAddress(serverName);
    if (!address || !safeArgument(userName) || !safeArgument(password))
        return FtpOpenResult::ServerUnreachable;
    // SFTP is another protocol altogether: makeServerSession gives an SftpSession for it.
    if (address->transport == Transport::Sftp)
        return FtpOpenResult::ServerUnreachable;

    FtpControlConnection& ftp = impl_->ftp;
    if (!ftp.setUp(*address, userName, password, impl_->timeouts, impl_->trust.files.caFile))
        return FtpOpenResult::InternetUnavailable;
    const auto connect = [&ftp] { return ftp.perform({}); };
    const FtpOpenResult result =
        address->transport == Transport::Ftp
            ? (connect() == CURLE_OK ? FtpOpenResult::Connected : FtpOpenResult::ServerUnreachable)
            : connectTrustedTls(ftp.handle(), connect, ftp.peerKey(), *address, impl_->trust,
                                impl_->untrusted);
    if (result != FtpOpenResult::Connected)
        close();
    return result;
}

bool FtpSession::stillAnswers()
{
    FtpControlConnection::Request request;
    request.commands = {"NOOP"};
    return impl_->perform(request);
}

bool FtpSession::putBytes(const std::string& bytes, const std::string& remotePath,
                          TransferType type)
{
    if (!isOpen() || remotePath.empty() || !safeName(remotePath))
        return false;
    const bool text = type == TransferType::Ascii;
    const std::string lines = text ? withBareLineFeeds(bytes) : std::string();
    MemorySource source{text ? &lines : &bytes};
    FtpControlConnection::Request request;
    request.path = remotePath;
    request.upload = true;
    request.type = type;
    request.read = readFromMemory;
    request.source = &source;
    // A text's size changes on the way, as libcurl turns its line ends into CR LF.
    if (!text)
        request.size = static_cast<curl_off_t>(bytes.size());
    return impl_->perform(request);
}

bool FtpSession::setCurrentDirectory(const std::string& directory)
{
    if (!isOpen() || !safeName(directory))
        return false;
    FtpControlConnection::Request request;
    request.commands = {"*CWD " + directory, "*PWD"};
    if (!impl_->perform(request) || !succeeded(impl_->last("CWD")))
        return false;
    const FtpExchange* pwd = impl_->last("PWD");
    const auto where = succeeded(pwd) ? quotedDirectory(pwd->replyText) : std::nullopt;
    if (!where || where->empty() || !safeName(*where)) {
        // The connection is in the new directory, but after a reconnect nothing could bring it
        // back there: the next command might act in the login directory instead.
        impl_->ftp.loseDirectory();
        return false;
    }
    impl_->ftp.setDirectory(*where);
    return true;
}

std::optional<std::string> FtpSession::currentDirectory()
{
    FtpControlConnection::Request request;
    request.commands = {"*PWD"};
    if (!impl_->perform(request))
        return std::nullopt;
    const FtpExchange* pwd = impl_->last("PWD");
    if (!succeeded(pwd) || pwd->replyCode != 257)
        return std::nullopt;
    auto where = quotedDirectory(pwd->replyText);
    if (where && !safeName(*where))
        return std::nullopt;
    return where;
}

bool FtpSession::deleteFile(const std::string& name)
{
    if (name.empty() || !safeName(name))
        return false;
    FtpControlConnection::Request request;
    request.commands = {"*DELE " + name};
    return impl_->perform(request) && succeeded(impl_->last("DELE"));
}

std::optional<long long> FtpSession::fileSize(const std::string& name)
{
    if (name.empty() || !safeName(name))
        return std::nullopt;
    FtpControlConnection::Request request;
    request.commands = {"*SIZE " + name};
    if (!impl_->perform(request))
        return std::nullopt;
    const FtpExchange* size = impl_->last("SIZE");
    if (!size || size->replyCode != 213)
        return std::nullopt;
    return sizeInReply(size->replyText);
}

FtpRenameResult FtpSession::renameFile(const std::string& from, const std::string& to)
{
    if (from.empty() || to.empty() || !safeName(from) || !safeName(to))
        return FtpRenameResult::Failed;
    FtpControlConnection::Request request;
    request.commands = {"*RNFR " + from, "*RNTO " + to};
    if (!impl_->perform(request))
        return FtpRenameResult::Failed;
    const FtpExchange* source = impl_->last("RNFR");
    if (!source || source->replyCode != 350)
        return FtpRenameResult::Failed;
    const FtpExchange* destination = impl_->last("RNTO");
    if (succeeded(destination))
        return FtpRenameResult::Renamed;
    return destination && destination->replyCode >= 400 ? FtpRenameResult::DestinationRefused
                                                        : FtpRenameResult::Failed;
}

void FtpSession::close()
{
    impl_->ftp.close();
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
    return impl_->ftp.counters();
}

} // namespace velmora

#include "transfer/ftp_control_connection.h"

#include "transfer/curl_request_parts.h"
#include "transfer/curl_transfer_loop.h"

namespace velmora {
namespace {

int recordDialogue(CURL*, curl_infotype type, char* data, size_t size, void* userdata)
{
    auto* dialogue = static_cast<FtpDialogue*>(userdata);
    if (type == CURLINFO_HEADER_OUT)
        dialogue->sent(std::string(data, size));
    else if (type == CURLINFO_HEADER_IN)
        dialogue->received(std::string(data, size));
    return 0;
}

} // namespace

bool FtpControlConnection::setUp(const ServerAddress& address, const std::string& userName,
                                 const std::string& password, const FtpTimeouts& timeouts,
                                 const std::string& caFile)
{
    close();
    CurlMulti multi(curl_multi_init());
    CurlEasy easy(curl_easy_init());
    if (!multi || !easy)
        return false;
    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp,ftps");
    if (address.transport != Transport::Ftp) {
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
        if (!caFile.empty())
            curl_easy_setopt(h, CURLOPT_CAINFO, caFile.c_str());
        recordTlsPeerKey(h, &peerKey_);
    }
    curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(h, CURLOPT_FTP_USE_EPSV, 1L);
    // libcurl would drop "." and ".." segments from the paths of uploads while CWD, DELE, RNFR
    // and RNTO send them as typed: a picture and its rename would land in different folders.
    curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, timeouts.connectSeconds);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeouts.responseSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, timeouts.stallSeconds);
    if (!userName.empty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, userName.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password.c_str());
    }
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, recordDialogue);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &dialogue_);

    multi_ = std::move(multi);
    easy_ = std::move(easy);
    const char* scheme = address.transport == Transport::ImplicitTls ? "ftps://" : "ftp://";
    baseUrl_ = scheme + address.host + ":" + std::to_string(address.port) + "/";
    counters_ = {};
    return true;
}

void FtpControlConnection::close()
{
    // The handle leaves the multi handle after every transfer; closing the multi handle ends the
    // control connection.
    easy_.reset();
    multi_.reset();
    directory_.clear();
    directoryUnknown_ = false;
}

void FtpControlConnection::limitTo(std::chrono::steady_clock::time_point deadline)
{
    if (!deadline_ || deadline < *deadline_)
        deadline_ = deadline;
}

CURLcode FtpControlConnection::perform(const Request& request)
{
    if (!isOpen() || directoryUnknown_)
        return CURLE_FAILED_INIT;
    const std::optional<long> timeLimitMs = timeLeftMs(deadline_);
    if (!timeLimitMs)
        return CURLE_OPERATION_TIMEDOUT;
    CURL* h = easy_.get();
    std::vector<std::string> commands;
    if (!directory_.empty())
        commands.push_back("CWD " + directory_);
    commands.insert(commands.end(), request.commands.begin(), request.commands.end());
    const std::optional<CurlList> quotes = curlCommandList(commands);
    if (!quotes)
        return CURLE_OUT_OF_MEMORY;
    // Options stay set on a reused handle: every request states all of them.
    const std::string url = baseUrl_ + escapeUrlPath(request.path, LeadingSlash::Escaped);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_QUOTE, quotes->get());
    curl_easy_setopt(h, CURLOPT_NOBODY, request.upload ? 0L : 1L);
    curl_easy_setopt(h, CURLOPT_UPLOAD, request.upload ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, request.type == TransferType::Ascii ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, request.read);
    curl_easy_setopt(h, CURLOPT_READDATA, request.source);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, request.size);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, *timeLimitMs);
    dialogue_.clear();
    peerKey_.clear();
    const CURLcode result = runTransfer(multi_.get(), h, &counters_);
    curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);
    return result;
}

} // namespace velmora

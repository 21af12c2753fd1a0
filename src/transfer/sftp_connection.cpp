#include "transfer/sftp_connection.h"

#include "transfer/curl_request_parts.h"
#include "transfer/curl_transfer_loop.h"

namespace velmora {

void SftpConnection::start(std::string baseUrl, std::chrono::milliseconds replyLimit)
{
    close();
    baseUrl_ = std::move(baseUrl);
    replyLimit_ = replyLimit;
    prefix_ = "~";
    counters_ = {};
}

void SftpConnection::adopt(CurlMulti multi, CurlEasy easy)
{
    multi_ = std::move(multi);
    easy_ = std::move(easy);
}

void SftpConnection::close()
{
    easy_.reset();
    multi_.reset();
}

void SftpConnection::limitTo(std::chrono::steady_clock::time_point deadline)
{
    if (!deadline_ || deadline < *deadline_)
        deadline_ = deadline;
}

CURLcode SftpConnection::perform(const std::string& path, const std::vector<std::string>& commands,
                                 bool listing, const std::string* upload)
{
    if (!easy_ || !multi_)
        return CURLE_FAILED_INIT;
    const std::optional<long> timeLimitMs = timeLeftMs(deadline_);
    if (!timeLimitMs)
        return CURLE_OPERATION_TIMEDOUT;
    const std::optional<CurlList> quotes = curlCommandList(commands);
    if (!quotes)
        return CURLE_OUT_OF_MEMORY;
    CURL* h = easy_.get();
    const std::string url = baseUrl_ + escapeUrlPath(path, LeadingSlash::Kept);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_QUOTE, quotes->get());
    curl_easy_setopt(h, CURLOPT_NOBODY, (listing || upload) ? 0L : 1L);
    curl_easy_setopt(h, CURLOPT_DIRLISTONLY, listing ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_UPLOAD, upload ? 1L : 0L);
    MemorySource source{upload};
    curl_easy_setopt(h, CURLOPT_READFUNCTION, upload ? readFromMemory : nullptr);
    curl_easy_setopt(h, CURLOPT_READDATA, upload ? &source : nullptr);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE,
                     upload ? static_cast<curl_off_t>(upload->size()) : curl_off_t{-1});
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, *timeLimitMs);
    const CURLcode result = runTransfer(multi_.get(), h, &counters_, replyLimit_);
    curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);
    if (result == CURLE_OPERATION_TIMEDOUT)
        close();
    return result;
}

std::string SftpConnection::urlPath(const std::string& name) const
{
    const std::string dir = prefix_[0] == '/' ? prefix_ : "/" + prefix_;
    return name.empty() ? dir + "/" : dir + "/" + name;
}

std::string SftpConnection::quotable(const std::string& name) const
{
    if (prefix_ == "~")
        return name;
    if (prefix_.rfind("~/", 0) == 0)
        return prefix_.substr(2) + "/" + name;
    return prefix_ + "/" + name;
}

std::string quotedSftpName(const std::string& path)
{
    std::string out = "\"";
    for (const char c : path) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace velmora

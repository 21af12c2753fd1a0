#include "easy_perform_ftp_session.h"

#include "transfer/curl_handles.h"

#include <cstdio>
#include <memory>

namespace velmora::bench {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool perform(CURL* h, const std::string& url, std::FILE* body, bool ascii)
{
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_NOBODY, body ? 0L : 1L);
    curl_easy_setopt(h, CURLOPT_UPLOAD, body ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_READDATA, body);
    return curl_easy_perform(h) == CURLE_OK;
}

} // namespace

bool runEasyPerformSession(int port, const std::string& remoteFolder,
                           const std::string& picturePath, const std::string& pagePath)
{
    CurlEasy easy(curl_easy_init());
    FileHandle picture(std::fopen(picturePath.c_str(), "rb"));
    FileHandle page(std::fopen(pagePath.c_str(), "rb"));
    if (!easy || !picture || !page)
        return false;
    CURL* h = easy.get();
    // The same options as the session sets.
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(h, CURLOPT_FTP_USE_EPSV, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, 30L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 30L);
    const std::string base = "ftp://127.0.0.1:" + std::to_string(port) + "/";
    return perform(h, base, nullptr, false) &&
           perform(h, base + remoteFolder + "/Velmora1.png", picture.get(), false) &&
           perform(h, base + remoteFolder + "/Velmora.htm", page.get(), true);
}

} // namespace velmora::bench

#pragma once

#include "TIdHTTP.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace net {

/// The libcurl handles one client keeps between requests: the easy handle holds the cookies, the
/// multi handle the kept-alive connections.
struct CurlHandles {
    CurlHandles();
    ~CurlHandles();
    CurlHandles(const CurlHandles &) = delete;
    CurlHandles &operator=(const CurlHandles &) = delete;

    /// Drops the kept-alive connections (a fresh multi handle); cookies stay.
    void CloseConnections();
    /// Forgets the cookies (a fresh easy handle, its cookie engine off).
    void ForgetCookies();

    CURL *easy = nullptr;
    CURLM *multi = nullptr;
    curl_slist *headers = nullptr;
    bool cookieEngine = false;
    /// libcurl's built-in certificate authorities file (null when it has none), restored when a
    /// client stops naming a file of its own.
    const char *systemCaCertificates = nullptr;

private:
    void RememberSystemCaCertificates();
};

/// What one GET is to do, taken from the client's settings.
struct TransferRequest {
    std::string url;
    std::string userAgent;
    std::string accept;
    std::string contentType;
    std::string contentEncoding;
    std::string cacheControl;
    bool cookies = true;
    std::chrono::milliseconds connectTimeout{15000};
    std::chrono::milliseconds stallTimeout{30000};
    std::string caCertificatesFile; ///< empty: the system's trust store
    std::int64_t resumeFrom = -1;   ///< a resume request from this byte, or -1
    std::string ifRange;
    std::int64_t resumeTotal = -1;
    bool requireFraming = false;    ///< refuse a close-delimited 2xx body
    std::int64_t maxBodySize = -1;  ///< the largest whole resource taken, or -1
    std::int64_t speedFloor = 1024; ///< bytes per second on average over a period; 0: none
    std::chrono::seconds speedFloorPeriod{60};
    /// The proxy to go through: "" for a direct connection, a proxy's address ("http://host:port",
    /// "socks5://host:port"), or nothing to leave the choice to libcurl's own rules (the
    /// http_proxy, https_proxy, all_proxy and no_proxy environment variables).
    std::optional<std::string> proxy = std::string();
};

/// What the reply said, filled as far as it arrived (also when the transfer fails).
struct TransferReply {
    int status = 0;
    std::string reason;
    std::string contentType;
    std::string etag;
    std::string lastModified;
    std::string date;
    std::int64_t fullLength = -1; ///< of the whole resource, from a 2xx reply
    std::int64_t rangeStart = 0;  ///< N for an accepted continuation from byte N
    std::int64_t received = 0;    ///< body bytes that reached the sink
};

/// How the message of a failed GET of `url` begins ("GET <url>: "); the reason follows.
std::string FailurePrefix(const std::string &url);

/// Runs one GET on `handles` through the multi interface, raising the progress events of
/// `sender` on the calling thread and writing a 2xx body into `sink`. Returns normally only for a
/// complete 2xx body; otherwise throws an `EIdHTTPError` (after `OnWorkEnd` when a bracket was
/// open), or rethrows what an event handler threw. `cancel` is polled before every wait;
/// another thread sets it and then wakes the multi handle. `accepted` runs once the headers of a
/// 2xx reply have been accepted, just before `OnWorkBegin`, with `reply` filled as far as the
/// headers go.
void RunTransfer(CurlHandles &handles, const TransferRequest &request, TIdSink &sink,
                 TIdHTTP &sender, const std::atomic<bool> &cancel, TransferReply &reply,
                 const std::function<void()> &accepted);

} // namespace net

#pragma once

#include "EIdHTTPError.h"
#include "TIdSink.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

/// Direction of a progress bracket. A GET only ever receives, so only `wmRead` is raised.
enum TWorkMode { wmRead, wmWrite };

/// Options of `TIdHTTP`.
enum TIdHTTPOption {
    /// Characters outside the URL-safe set in the query are percent-encoded before sending;
    /// "&", "=" and existing %XX escapes stay as they are.
    hoForceEncodeParams,
};
using TIdHTTPOptions = std::set<TIdHTTPOption>;

/// The request headers sent with every `Get`. An empty field is not sent (except `Accept` and
/// `UserAgent`, which are always sent when not empty and default to the values below).
struct TIdHTTPRequest {
    std::string Accept = "text/html, */*";
    std::string UserAgent = "Mozilla/3.0 (compatible; Indy Library)";
    /// Sent as Content-Type when set, although a GET carries no body.
    std::string ContentType;
    /// Sent as Content-Encoding when set, although a GET carries no body.
    std::string ContentEncoding;
    /// Sent as Cache-Control when set ("no-cache": a cache on the way must ask the server again).
    std::string CacheControl;

    /// When 0 or more, asks only for the rest of the resource from this byte on
    /// ("Range: bytes=N-"). A 206 reply must then continue exactly there (see `TIdHTTP::Get`); a
    /// 200 reply brings the whole resource instead. -1 (the default) asks for the whole.
    std::int64_t ResumeFrom = -1;
    /// Sent as If-Range with a resume request when set: the validator (an ETag or a
    /// Last-Modified date) of the copy whose rest is wanted, so a changed resource comes whole.
    std::string IfRange;
    /// The full length a continuation must have (the length the first reply announced); -1
    /// when any length will do.
    std::int64_t ResumeTotal = -1;

    /// When set, a 2xx reply whose body has neither a Content-Length nor chunked framing (one
    /// that only the server's closing ends, so a cut connection looks like its end) is refused
    /// as a protocol error before its body is read: no progress bracket, nothing in the sink.
    bool RequireFraming = false;
    /// The largest resource taken, in bytes; -1 (the default): no bound. A reply that announces
    /// a larger whole resource (its Content-Length, or the length in a 206's Content-Range) is
    /// refused before its body is read; a body that grows past the bound (chunked, or longer
    /// than its server said) fails as soon as a piece would cross it, and that piece is not
    /// written. Both are protocol errors. A continuation counts from where it starts.
    std::int64_t MaxBodySize = -1;
};

/// What one `TIdHTTP::Get` came to, for a log of the requests (see `TIdHTTP::OnRequestEnd`).
struct TIdHTTPRequestReport {
    /// The address asked, as sent (its query encoded).
    std::string Url;
    /// The proxy it went through: a proxy's address, "" for a direct connection, or nothing when
    /// libcurl chose from the environment.
    std::optional<std::string> Proxy;
    /// The reply's status; 0 when no reply arrived.
    int Status = 0;
    /// As `TIdHTTP::ResponseFullLength`, `ResponseRangeStart`, `ResponseETag` and
    /// `ResponseLastModified` say it after the request.
    std::int64_t FullLength = -1;
    std::int64_t RangeStart = 0;
    std::string ETag;
    std::string LastModified;
    /// Body bytes that reached the sink.
    std::int64_t Received = 0;
    std::chrono::milliseconds Duration{0};
    /// Empty after a success; otherwise why it failed: libcurl's error message, the reply's
    /// status line, the bound or check that refused the reply, or the sink's error.
    std::string Failure;
};

/// An HTTP/1.1 client over libcurl: one GET at a time into a `TIdSink`.
///
/// Thread rules: settings, `Get`, `Disconnect` and the response getters belong to one thread at
/// a time (the worker in the update flow); the progress events run on the thread that called
/// `Get`. `Cancel` may be called from any thread at any time.
///
/// `Get` succeeds only for a 2xx reply whose body arrived whole; everything else raises a class
/// derived from `EIdHTTPError` (see `EIdHTTPError.h`). Redirects are never followed and no
/// `Accept-Encoding` is offered, so the body arrives as the server stores it.
class TIdHTTP {
public:
    using TWorkBeginEvent =
        std::function<void(TIdHTTP &sender, TWorkMode mode, std::int64_t countMax)>;
    using TWorkEvent = std::function<void(TIdHTTP &sender, TWorkMode mode, std::int64_t count)>;
    using TWorkEndEvent = std::function<void(TIdHTTP &sender, TWorkMode mode)>;
    using TRequestEndEvent =
        std::function<void(TIdHTTP &sender, const TIdHTTPRequestReport &report)>;
    /// Chooses the proxy for one request from its address: a proxy's address
    /// ("http://host:port"), "" for a direct connection, or nothing to leave the choice to
    /// libcurl's reading of the environment (http_proxy, https_proxy, all_proxy, no_proxy).
    using TProxyLookup = std::function<std::optional<std::string>(const std::string &url)>;

    TIdHTTP();
    ~TIdHTTP();
    TIdHTTP(const TIdHTTP &) = delete;
    TIdHTTP &operator=(const TIdHTTP &) = delete;

    /// Sends one GET to `url` and writes the body of a 2xx reply into `sink`.
    ///
    /// Resuming (`Request().ResumeFrom` N of 0 or more): a 206 reply is taken only when its
    /// Content-Range is "bytes N-(L-1)/L" with L the `ResumeTotal` (when set) and a body of
    /// exactly L - N bytes; anything else raises `EIdRangeMismatch` before a byte reaches the
    /// sink. The sink learns where the body starts through `TIdSink::Begin` (N for such a 206,
    /// 0 for a 200), and the progress bracket counts the whole resource: `OnWorkBegin` gets L and
    /// `OnWork` counts on from N. A 206 to a request that asked for no range is a protocol error:
    /// its body is not the whole resource.
    ///
    /// Progress: for a 2xx reply, one bracket `OnWorkBegin(wmRead, announced length or 0)`, then
    /// `OnWork(wmRead, cumulative body bytes)` per received piece, then `OnWorkEnd(wmRead)`, which
    /// is raised also when the transfer fails, before the exception leaves `Get`. A reply outside
    /// 2xx raises no progress event and writes nothing into the sink. An exception thrown by an
    /// event handler ends the transfer and leaves `Get` unchanged (after `OnWorkEnd`).
    /// From `OnWorkBegin` on, the response getters below describe the reply being read, so a
    /// handler can tell a continuation (`ResponseRangeStart`) from a whole transfer.
    void Get(const std::string &url, TIdSink &sink);

    /// Makes a running `Get` raise `EIdCancelled` within 250 ms, even while the server sends
    /// nothing. Any thread. A cancel that arrives while no `Get` runs applies to the next `Get`;
    /// each `Get` clears it when it returns or raises.
    void Cancel();

    /// Closes the kept-alive connection, if any. Cookies are kept.
    void Disconnect();

    /// The request headers (an owned sub-object, changed in place).
    TIdHTTPRequest &Request() { return request_; }
    const TIdHTTPRequest &Request() const { return request_; }

    const TIdHTTPOptions &HTTPOptions() const { return options_; }
    void SetHTTPOptions(const TIdHTTPOptions &options) { options_ = options; }

    /// When on (the default), cookies set by replies are sent back on later requests of this
    /// client; they live in memory only. Turning it off forgets them.
    bool AllowCookies() const { return allowCookies_; }
    void SetAllowCookies(bool allow) { allowCookies_ = allow; }

    /// Time allowed for name resolution and the connection. Default 15 s.
    std::chrono::milliseconds ConnectTimeout() const { return connectTimeout_; }
    void SetConnectTimeout(std::chrono::milliseconds timeout) { connectTimeout_ = timeout; }
    /// Once connected, a transfer that receives no byte for this long fails. Default 30 s.
    std::chrono::milliseconds StallTimeout() const { return stallTimeout_; }
    void SetStallTimeout(std::chrono::milliseconds timeout) { stallTimeout_ = timeout; }
    /// Once connected, a transfer that receives fewer than `bytesPerSecond` bytes per second on
    /// average over `period` fails as stalled (`EIdStalled`), however steadily its bytes come:
    /// each consecutive period from the connection on must bring `bytesPerSecond × period`
    /// bytes, headers included. 0 bytes (or a period of 0) turns the floor off. Default 1024
    /// bytes per second over 60 s.
    void SetSpeedFloor(std::int64_t bytesPerSecond, std::chrono::seconds period) {
        speedFloor_ = bytesPerSecond;
        speedFloorPeriod_ = period;
    }
    std::int64_t SpeedFloor() const { return speedFloor_; }
    std::chrono::seconds SpeedFloorPeriod() const { return speedFloorPeriod_; }
    /// https: the file of certificate authorities a server's certificate must chain to. Empty
    /// (the default): the system's trust store. Verification is never turned off; a certificate
    /// that fails it is a connection failure (`EIdCannotConnect`).
    const std::string &CaCertificatesFile() const { return caCertificatesFile_; }
    void SetCaCertificatesFile(std::string file) { caCertificatesFile_ = std::move(file); }
    /// How each request finds its proxy; called by `Get` on its thread, so a lookup may take its
    /// time (an automatic configuration script). Not set (the default): every request goes
    /// direct, whatever the environment says. A lookup that throws means a direct connection.
    /// A proxy that cannot be reached is a connection failure (`EIdCannotConnect`); one that
    /// refuses the request (asks for credentials: 407) a protocol error.
    void SetProxyLookup(TProxyLookup lookup) { proxyLookup_ = std::move(lookup); }

    /// Status code of the last reply (0 before one arrived).
    int ResponseCode() const { return responseCode_; }
    /// Reason phrase of the last reply's status line.
    const std::string &ResponseText() const { return responseText_; }
    /// Content-Type of the last reply, as sent (empty when none).
    const std::string &ResponseContentType() const { return responseContentType_; }
    /// ETag of the last reply, as sent with its quotes and a "W/" of a weak one (empty when none).
    const std::string &ResponseETag() const { return responseETag_; }
    /// Last-Modified of the last reply, as sent (empty when none).
    const std::string &ResponseLastModified() const { return responseLastModified_; }
    /// Date of the last reply, as sent (empty when none).
    const std::string &ResponseDate() const { return responseDate_; }
    /// Length of the whole resource according to the last 2xx reply: its Content-Length, or
    /// the length in the Content-Range of a continuation; -1 when unknown (chunked, none sent).
    std::int64_t ResponseFullLength() const { return responseFullLength_; }
    /// Where the body of the last reply started in the resource: N for an accepted continuation
    /// from byte N, otherwise 0.
    std::int64_t ResponseRangeStart() const { return responseRangeStart_; }

    TWorkBeginEvent OnWorkBegin;
    TWorkEvent OnWork;
    TWorkEndEvent OnWorkEnd;
    /// Raised once per `Get` as it returns or raises (after `OnWorkEnd`), on its thread, with
    /// what the request came to. What the handler throws is ignored: it cannot change the
    /// request's outcome.
    TRequestEndEvent OnRequestEnd;

    /// Percent-encodes the characters outside the URL-safe set in the query of `url` (what
    /// `hoForceEncodeParams` does before sending). "&", "=" and existing %XX escapes stay.
    static std::string EncodeQuery(const std::string &url);

private:
    TIdHTTPRequest request_;
    TIdHTTPOptions options_{hoForceEncodeParams};
    bool allowCookies_ = true;
    std::chrono::milliseconds connectTimeout_{15000};
    std::chrono::milliseconds stallTimeout_{30000};
    std::int64_t speedFloor_ = 1024;
    std::chrono::seconds speedFloorPeriod_{60};
    std::string caCertificatesFile_;
    TProxyLookup proxyLookup_;

    int responseCode_ = 0;
    std::string responseText_;
    std::string responseContentType_;
    std::string responseETag_;
    std::string responseLastModified_;
    std::string responseDate_;
    std::int64_t responseFullLength_ = -1;
    std::int64_t responseRangeStart_ = 0;

    /// The libcurl handles: the easy handle keeps the cookies, the multi handle the connections.
    struct Handles;
    std::unique_ptr<Handles> handles_;

    /// Guards `wakeTarget_`, the multi handle of the running `Get` that `Cancel` wakes from
    /// another thread (null while no `Get` runs).
    std::mutex wakeMutex_;
    void *wakeTarget_ = nullptr;
    std::atomic<bool> cancelRequested_{false};
};

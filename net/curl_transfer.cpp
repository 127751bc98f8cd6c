// One GET over libcurl's multi interface: a poll loop that a cancel wakes at once, the stall
// clock, the status, framing and size checks before the first body byte, and the progress bracket.
#include "curl_transfer.h"

#include "curl_errors.h"
#include "curl_library.h"
#include "stall_clock.h"
#ifdef _WIN32
#include "win32_server_certificate.h"
#endif

#include <algorithm>
#include <charconv>
#include <exception>
#include <mutex>
#include <optional>
#include <string_view>

namespace net {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

/// libcurl's receive buffer. Large pieces keep the work per byte low; 256 KiB or more brings a
/// file download level with the curl command.
constexpr long kReceiveBufferSize = 512L * 1024;
/// Longest single wait while nothing happens; a cancel wakes the wait at once anyway.
constexpr milliseconds kMaxPollWait{1000};

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(text[i]) != lower(prefix[i]))
            return false;
    }
    return true;
}

bool HeaderIs(std::string_view name, std::string_view wanted) {
    return name.size() == wanted.size() && StartsWithNoCase(name, wanted);
}

/// A decimal number of bytes that fills `text` exactly.
std::optional<std::int64_t> ByteCount(std::string_view text) {
    std::int64_t value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || text.empty())
        return std::nullopt;
    return value;
}

/// "bytes FIRST-LAST/LENGTH" of a Content-Range, with a known length.
struct ContentRange {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t length = 0;
};

std::optional<ContentRange> ParseContentRange(std::string_view value) {
    if (!StartsWithNoCase(value, "bytes "))
        return std::nullopt;
    value.remove_prefix(6);
    const auto dash = value.find('-');
    const auto slash = value.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash)
        return std::nullopt;
    const auto first = ByteCount(value.substr(0, dash));
    const auto last = ByteCount(value.substr(dash + 1, slash - dash - 1));
    const auto length = ByteCount(value.substr(slash + 1));
    if (!first || !last || !length || *first > *last || *last >= *length)
        return std::nullopt;
    return ContentRange{*first, *last, *length};
}

/// The state of one transfer, shared with libcurl's callbacks.
class Transfer {
public:
    Transfer(CURL *easy, TIdHTTP &sender, TIdSink &sink, const TransferRequest &request,
             TransferReply &reply, const std::function<void()> &accepted, StallClock &clock)
        : easy_(easy), sender_(sender), sink_(sink), request_(request), reply_(reply),
          accepted_(accepted), clock_(clock) {}

    static std::size_t OnHeader(char *data, std::size_t size, std::size_t count, void *self) {
        return static_cast<Transfer *>(self)->Header(std::string_view(data, size * count));
    }
    static std::size_t OnBody(char *data, std::size_t size, std::size_t count, void *self) {
        return static_cast<Transfer *>(self)->Body(data, size * count);
    }
    /// Runs once the connection is made (its TLS handshake done), before each request is sent.
    static int OnConnected(void *self, char *, char *, int, int) {
        auto &transfer = *static_cast<Transfer *>(self);
        transfer.clock_.Start(Clock::now());
#ifdef _WIN32
        // Schannel does not check the certificate against the system's store everywhere, so
        // the system's own chain and policy check decides too (a certificate file of the
        // client's own is checked by libcurl alone).
        if (transfer.request_.caCertificatesFile.empty())
            transfer.certificateRefused_ = RefusedServerCertificate(transfer.easy_);
        if (transfer.certificateRefused_)
            return CURL_PREREQFUNC_ABORT;
#endif
        return CURL_PREREQFUNC_OK;
    }

    /// Raises the outcome after libcurl's result `code`; returns only on a complete 2xx body.
    /// `stallReason` says why the loop gave up on a stalled transfer. `tunnelStatus` is a proxy's
    /// answer to the request for a tunnel (https through a proxy), 0 when there was none.
    void Finish(CURLcode code, std::optional<TIdHTTPErrorKind> abortKind, const std::string &url,
                const char *curlMessage, const std::string &stallReason, long tunnelStatus);

private:
    std::size_t Header(std::string_view line);
    std::size_t Body(const char *data, std::size_t len);
    /// Checks a 206 against the resume request; false when it does not continue where asked.
    bool AcceptContinuation();
    /// Checks the framing and the announced size of an accepted 2xx reply against the request's
    /// bounds; false (with `refused_` set) when its body must not be read.
    bool AcceptBody();
    void OpenBracket();

    [[maybe_unused]] CURL *easy_; // read on Windows only
    TIdHTTP &sender_;
    TIdSink &sink_;
    const TransferRequest &request_;
    TransferReply &reply_;
    const std::function<void()> &accepted_;
    StallClock &clock_;

    bool headersDone_ = false;
    bool chunked_ = false;
    std::int64_t contentLength_ = -1;
    bool badLength_ = false; // a Content-Length that is not a number of bytes
    bool bracketOpen_ = false;
    bool rejected_ = false;   // a final status outside 2xx: aborted before any body byte
    bool unexpected_ = false; // body bytes without a status accepted first
    std::optional<std::string> rangeMismatch_; // a 206 that does not continue where asked
    std::optional<std::string> refused_;       // a 2xx body unframed or larger than the bound
    std::optional<std::string> contentRange_;
    std::optional<std::string> certificateRefused_; // aborted before the request was sent
    std::int64_t count_ = 0;
    std::optional<std::string> sinkError_;
    std::exception_ptr handlerError_;
};

std::size_t Transfer::Header(std::string_view line) {
    clock_.Received(line.size(), Clock::now());
    if (headersDone_)
        return line.size(); // trailers of a chunked body
    const std::string_view text = Trim(line);

    if (text.empty()) {
        if (reply_.status >= 100 && reply_.status < 200)
            return line.size(); // an interim reply; the final one follows
        headersDone_ = true;
        if (reply_.status < 200 || reply_.status > 299) {
            rejected_ = true; // its body (an error page) is never read
            return 0;
        }
        if (badLength_ && !chunked_) {
            unexpected_ = true; // a length we cannot honour: no body can be complete
            return 0;
        }
        if (reply_.status == 206 && !AcceptContinuation())
            return 0;
        if (reply_.status != 206)
            reply_.fullLength = chunked_ ? -1 : contentLength_;
        if (!AcceptBody())
            return 0;
        try {
            sink_.Begin(reply_.rangeStart);
        } catch (const std::exception &e) {
            sinkError_ = e.what();
            return 0;
        }
        OpenBracket();
        return handlerError_ ? 0 : line.size();
    }

    if (StartsWithNoCase(text, "HTTP/")) {
        // "HTTP/1.1 404 Not Found": a new header block begins.
        reply_.status = 0;
        reply_.reason.clear();
        reply_.contentType.clear();
        reply_.etag.clear();
        reply_.lastModified.clear();
        reply_.date.clear();
        reply_.fullLength = -1;
        reply_.rangeStart = 0;
        contentRange_.reset();
        contentLength_ = -1;
        badLength_ = false;
        chunked_ = false;
        const auto space = text.find(' ');
        if (space != std::string_view::npos) {
            std::string_view rest = text.substr(space + 1);
            int status = 0;
            const auto [end, error] =
                std::from_chars(rest.data(), rest.data() + rest.size(), status);
            if (error == std::errc() && end == rest.data() + std::min<std::size_t>(3, rest.size()))
                reply_.status = status;
            reply_.reason = std::string(Trim(rest.substr(std::min<std::size_t>(3, rest.size()))));
        }
        return line.size();
    }

    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return line.size();
    const std::string_view name = Trim(text.substr(0, colon));
    const std::string_view value = Trim(text.substr(colon + 1));
    if (StartsWithNoCase(name, "content-type") && name.size() == 12) {
        reply_.contentType = std::string(value);
    } else if (StartsWithNoCase(name, "content-length") && name.size() == 14) {
        std::int64_t length = -1;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), length);
        const bool valid =
            error == std::errc() && end == value.data() + value.size() && length >= 0;
        contentLength_ = valid ? length : -1;
        badLength_ = !valid; // libcurl would read an overflowing length until the server closes

    } else if (StartsWithNoCase(name, "transfer-encoding") && name.size() == 17) {
        chunked_ = value.find("chunked") != std::string_view::npos;
    } else if (HeaderIs(name, "etag")) {
        reply_.etag = std::string(value);
    } else if (HeaderIs(name, "last-modified")) {
        reply_.lastModified = std::string(value);
    } else if (HeaderIs(name, "date")) {
        reply_.date = std::string(value);
    } else if (HeaderIs(name, "content-range")) {
        contentRange_ = std::string(value);
    }
    return line.size();
}

bool Transfer::AcceptContinuation() {
    const auto fail = [this](const std::string &why) {
        rangeMismatch_ = why;
        return false;
    };
    if (request_.resumeFrom < 0) {
        rejected_ = true; // partial content that nobody asked for is not the resource
        return false;
    }
    const auto range = contentRange_ ? ParseContentRange(*contentRange_) : std::nullopt;
    if (!range)
        return fail("206 without a usable Content-Range (" + contentRange_.value_or("none") + ")");
    if (range->first != request_.resumeFrom)
        return fail("206 from byte " + std::to_string(range->first) + ", asked from " +
                    std::to_string(request_.resumeFrom));
    if (range->last != range->length - 1)
        return fail("206 that stops before the end of the resource");
    if (request_.resumeTotal >= 0 && range->length != request_.resumeTotal)
        return fail("206 of a resource of " + std::to_string(range->length) + " bytes, " +
                    std::to_string(request_.resumeTotal) + " expected");
    if (!chunked_ && contentLength_ >= 0 && contentLength_ != range->last - range->first + 1)
        return fail("206 whose Content-Length disagrees with its Content-Range");
    reply_.rangeStart = range->first;
    reply_.fullLength = range->length;
    return true;
}

bool Transfer::AcceptBody() {
    if (request_.requireFraming && !chunked_ && contentLength_ < 0) {
        // Only the server's closing would end this body, and a connection cut short ends it
        // the same way: its end cannot be told from a failure.
        refused_ = "body without a Content-Length or chunked framing";
        return false;
    }
    if (request_.maxBodySize >= 0 && reply_.fullLength > request_.maxBodySize) {
        refused_ = "resource of " + std::to_string(reply_.fullLength) + " bytes, more than " +
                   std::to_string(request_.maxBodySize) + " allowed";
        return false;
    }
    return true;
}

void Transfer::OpenBracket() {
    bracketOpen_ = true;
    // A chunked body has no length of its own, whatever a Content-Length beside it says. A
    // continuation counts the whole resource.
    const std::int64_t expected = reply_.rangeStart > 0              ? reply_.fullLength
                                  : (chunked_ || contentLength_ < 0) ? 0
                                                                     : contentLength_;
    try {
        if (accepted_)
            accepted_();
        if (sender_.OnWorkBegin)
            sender_.OnWorkBegin(sender_, wmRead, expected);
    } catch (...) {
        handlerError_ = std::current_exception();
    }
}

std::size_t Transfer::Body(const char *data, std::size_t len) {
    clock_.Received(len, Clock::now());
    if (!bracketOpen_) {
        unexpected_ = true;
        return 0;
    }
    // The bound is on the whole resource, so a continuation counts from where it starts. A piece
    // that would cross it is refused whole: the sink never holds more than the bound.
    const auto size = static_cast<std::int64_t>(len);
    if (request_.maxBodySize >= 0 && reply_.rangeStart + count_ > request_.maxBodySize - size) {
        refused_ = "body grows past " + std::to_string(request_.maxBodySize) + " bytes";
        return 0;
    }
    try {
        sink_.Add(data, len);
    } catch (const std::exception &e) {
        sinkError_ = e.what();
        return 0;
    } catch (...) {
        sinkError_ = "the sink failed";
        return 0;
    }
    count_ += static_cast<std::int64_t>(len);
    reply_.received = count_;
    try {
        if (sender_.OnWork)
            sender_.OnWork(sender_, wmRead, reply_.rangeStart + count_);
    } catch (...) {
        handlerError_ = std::current_exception();
        return 0;
    }
    return len;
}

void Transfer::Finish(CURLcode code, std::optional<TIdHTTPErrorKind> abortKind,
                      const std::string &url, const char *curlMessage,
                      const std::string &stallReason, long tunnelStatus) {
    const std::string where = FailurePrefix(url);
    std::exception_ptr failure;
    try {
        if (handlerError_)
            std::rethrow_exception(handlerError_);
        if (abortKind == TIdHTTPErrorKind::Cancelled)
            throw EIdCancelled(where + "cancelled");
        if (abortKind == TIdHTTPErrorKind::Stalled)
            throw EIdStalled(where + stallReason);
        if (abortKind)
            ThrowHTTPError(*abortKind, where + curlMessage);
        if (certificateRefused_)
            throw EIdCannotConnect(where + *certificateRefused_); // as libcurl's own refusal
        if (sinkError_)
            throw EIdSinkFailed(where + *sinkError_);
        if (rangeMismatch_)
            throw EIdRangeMismatch(where + *rangeMismatch_);
        if (refused_)
            throw EIdHTTPProtocolError(reply_.status, reply_.reason, where + *refused_);
        if (rejected_)
            throw EIdHTTPProtocolError(reply_.status, reply_.reason,
                                       where + "HTTP " + std::to_string(reply_.status) + " " +
                                           reply_.reason);
        if (unexpected_)
            throw EIdHTTPProtocolError(reply_.status, reply_.reason,
                                       where + (badLength_ ? "invalid Content-Length"
                                                           : "body without an accepted status"));
        if (code != CURLE_OK && tunnelStatus >= 300)
            // The proxy answered and refused the tunnel (asked for credentials, forbade it):
            // a server's refusal, not a broken connection.
            throw EIdHTTPProtocolError(static_cast<int>(tunnelStatus), "",
                                       where + "the proxy answered " +
                                           std::to_string(tunnelStatus) + " to the tunnel");
        if (code != CURLE_OK) {
            const std::string text = *curlMessage ? curlMessage : Curl()->easy_strerror(code);
            const TIdHTTPErrorKind kind = ErrorKindFor(code, clock_.Started());
            if (kind == TIdHTTPErrorKind::ProtocolError)
                throw EIdHTTPProtocolError(reply_.status, reply_.reason, where + text);
            ThrowHTTPError(kind, where + text);
        }
        if (!headersDone_ || reply_.status < 200 || reply_.status > 299)
            throw EIdHTTPProtocolError(reply_.status, reply_.reason, where + "no complete reply");
        if (!chunked_ && contentLength_ >= 0 && count_ != contentLength_)
            throw EIdConnectionLost(where + "body of " + std::to_string(count_) + " bytes, " +
                                    std::to_string(contentLength_) + " announced");
        if (reply_.status == 206 && reply_.rangeStart + count_ != reply_.fullLength)
            throw EIdConnectionLost(where + "continuation ends at byte " +
                                    std::to_string(reply_.rangeStart + count_) + " of " +
                                    std::to_string(reply_.fullLength));
    } catch (...) {
        failure = std::current_exception();
    }

    if (bracketOpen_) {
        bracketOpen_ = false;
        try {
            if (sender_.OnWorkEnd)
                sender_.OnWorkEnd(sender_, wmRead);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

std::string FailurePrefix(const std::string &url) {
    return "GET " + url + ": ";
}

CurlHandles::CurlHandles() {
    if (Curl() == nullptr)
        return; // every transfer then fails as one that could not be set up
    easy = Curl()->easy_init();
    multi = Curl()->multi_init();
    RememberSystemCaCertificates();
}

void CurlHandles::RememberSystemCaCertificates() {
#ifdef _WIN32
    // None: Schannel then checks against the system's store. The file built into libcurl is a
    // path on the machine that built it.
#elif LIBCURL_VERSION_NUM >= 0x075400
    if (easy)
        Curl()->easy_getinfo(easy, CURLINFO_CAINFO, &systemCaCertificates);
#endif
}

CurlHandles::~CurlHandles() {
    if (Curl() == nullptr)
        return;
    Curl()->multi_cleanup(multi);
    Curl()->easy_cleanup(easy);
    Curl()->slist_free_all(headers);
}

void CurlHandles::CloseConnections() {
    if (Curl() == nullptr)
        return;
    Curl()->multi_cleanup(multi);
    multi = Curl()->multi_init();
}

void CurlHandles::ForgetCookies() {
    if (Curl() == nullptr)
        return;
    Curl()->easy_cleanup(easy);
    easy = Curl()->easy_init();
    RememberSystemCaCertificates();
    cookieEngine = false;
}

void RunTransfer(CurlHandles &handles, const TransferRequest &request, TIdSink &sink,
                 TIdHTTP &sender, const std::atomic<bool> &cancel, TransferReply &reply,
                 const std::function<void()> &accepted) {
    reply = TransferReply{};
    if (!handles.easy || !handles.multi)
        throw EIdConnectionLost(FailurePrefix(request.url) + "libcurl could not be set up");

    if (!request.cookies && handles.cookieEngine)
        handles.ForgetCookies();
    CURL *easy = handles.easy;

    Curl()->slist_free_all(handles.headers);
    handles.headers = nullptr;
    // An empty "Accept:" removes libcurl's own default instead of sending an empty header.
    handles.headers = Curl()->slist_append(handles.headers, ("Accept: " + request.accept).c_str());
    if (!request.contentType.empty())
        handles.headers =
            Curl()->slist_append(handles.headers, ("Content-Type: " + request.contentType).c_str());
    if (!request.contentEncoding.empty())
        handles.headers = Curl()->slist_append(
            handles.headers, ("Content-Encoding: " + request.contentEncoding).c_str());
    if (!request.cacheControl.empty())
        handles.headers = Curl()->slist_append(handles.headers,
                                               ("Cache-Control: " + request.cacheControl).c_str());
    if (request.resumeFrom >= 0) {
        handles.headers = Curl()->slist_append(
            handles.headers, ("Range: bytes=" + std::to_string(request.resumeFrom) + "-").c_str());
        if (!request.ifRange.empty())
            handles.headers =
                Curl()->slist_append(handles.headers, ("If-Range: " + request.ifRange).c_str());
    }

    StallClock clock(request.stallTimeout, request.speedFloor, request.speedFloorPeriod);
    Transfer transfer(easy, sender, sink, request, reply, accepted, clock);
    char curlMessage[CURL_ERROR_SIZE] = {};

    Curl()->easy_setopt(easy, CURLOPT_URL, request.url.c_str());
    Curl()->easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    Curl()->easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    Curl()->easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    Curl()->easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    // An explicit choice ("" is a direct connection) overrides the environment, its no_proxy
    // list included; none (null) restores libcurl's reading of the environment.
    Curl()->easy_setopt(easy, CURLOPT_PROXY, request.proxy ? request.proxy->c_str() : nullptr);
    Curl()->easy_setopt(easy, CURLOPT_NOPROXY, request.proxy ? "" : nullptr);
    // https: the peer's certificate and its host name are always verified.
    Curl()->easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    Curl()->easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
#ifdef _WIN32
    // A revocation server that cannot be reached fails no connection; a certificate known to be
    // revoked still does.
    Curl()->easy_setopt(easy, CURLOPT_SSL_OPTIONS, long(CURLSSLOPT_REVOKE_BEST_EFFORT));
#endif
    Curl()->easy_setopt(easy, CURLOPT_CAINFO,
                        request.caCertificatesFile.empty() ? handles.systemCaCertificates
                                                           : request.caCertificatesFile.c_str());
    Curl()->easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    Curl()->easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
    Curl()->easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(request.connectTimeout.count()));
    Curl()->easy_setopt(easy, CURLOPT_USERAGENT,
                        request.userAgent.empty() ? nullptr : request.userAgent.c_str());
    Curl()->easy_setopt(easy, CURLOPT_HTTPHEADER, handles.headers);
    Curl()->easy_setopt(easy, CURLOPT_ERRORBUFFER, curlMessage);
    Curl()->easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    Curl()->easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    Curl()->easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    Curl()->easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    Curl()->easy_setopt(easy, CURLOPT_PREREQFUNCTION, &Transfer::OnConnected);
    Curl()->easy_setopt(easy, CURLOPT_PREREQDATA, &transfer);
    if (request.cookies && !handles.cookieEngine) {
        Curl()->easy_setopt(easy, CURLOPT_COOKIEFILE, ""); // in memory only
        handles.cookieEngine = true;
    }

    Curl()->multi_add_handle(handles.multi, easy);
    std::optional<TIdHTTPErrorKind> abortKind;
    std::string stallReason;
    CURLcode result = CURLE_OK;
    for (;;) {
        if (cancel.load()) {
            abortKind = TIdHTTPErrorKind::Cancelled;
            break;
        }
        int running = 0;
        const CURLMcode multiCode = Curl()->multi_perform(handles.multi, &running);
        if (multiCode != CURLM_OK) {
            abortKind = TIdHTTPErrorKind::ConnectionLost;
            std::snprintf(curlMessage, sizeof curlMessage, "%s", Curl()->multi_strerror(multiCode));
            break;
        }
        bool done = false;
        int queued = 0;
        while (CURLMsg *message = Curl()->multi_info_read(handles.multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                done = true;
                result = message->data.result;
            }
        }
        if (done)
            break;

        const auto now = Clock::now();
        if (auto stalled = clock.Check(now)) {
            abortKind = TIdHTTPErrorKind::Stalled;
            stallReason = std::move(*stalled);
            break;
        }
        const milliseconds wait = clock.NextCheck(now, kMaxPollWait);
        Curl()->multi_poll(handles.multi, nullptr, 0, static_cast<int>(wait.count()) + 1, nullptr);
    }
    // Also closes the connection of a transfer that did not finish.
    Curl()->multi_remove_handle(handles.multi, easy);
    Curl()->easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);

    long tunnelStatus = 0;
    Curl()->easy_getinfo(easy, CURLINFO_HTTP_CONNECTCODE, &tunnelStatus);
    transfer.Finish(result, abortKind, request.url, curlMessage, stallReason, tunnelStatus);
}

} // namespace net

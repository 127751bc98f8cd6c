// The client's settings, cancellation and the query encoding; the transfer itself is in
// curl_transfer.cpp.
#include "TIdHTTP.h"

#include "curl_library.h"
#include "curl_transfer.h"

#include <string_view>

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

/// Characters that may stand in a query as they are: unreserved, sub-delimiters, ":@/?".
bool IsQuerySafe(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '-':
    case '.':
    case '_':
    case '~':
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
    case ':':
    case '@':
    case '/':
    case '?':
        return true;
    default:
        return false;
    }
}

/// A failure's message without the "GET <url>: " that begins it.
std::string FailureReason(std::string_view message, const std::string &prefix) {
    if (message.starts_with(prefix))
        message.remove_prefix(prefix.size());
    return std::string(message);
}

/// Clears a pending cancel when `Get` ends, however it ends.
struct CancelReset {
    std::atomic<bool> &flag;
    ~CancelReset() { flag = false; }
};

} // namespace

struct TIdHTTP::Handles : net::CurlHandles {};

TIdHTTP::TIdHTTP() = default;
TIdHTTP::~TIdHTTP() = default;

void TIdHTTP::Get(const std::string &url, TIdSink &sink) {
    CancelReset cancelReset{cancelRequested_};
    responseCode_ = 0;
    responseText_.clear();
    responseContentType_.clear();
    responseETag_.clear();
    responseLastModified_.clear();
    responseDate_.clear();
    responseFullLength_ = -1;
    responseRangeStart_ = 0;
    if (!handles_)
        handles_ = std::make_unique<Handles>();

    net::TransferRequest request;
    request.url = options_.count(hoForceEncodeParams) ? EncodeQuery(url) : url;
    request.userAgent = request_.UserAgent;
    request.accept = request_.Accept;
    request.contentType = request_.ContentType;
    request.contentEncoding = request_.ContentEncoding;
    request.cacheControl = request_.CacheControl;
    request.cookies = allowCookies_;
    request.connectTimeout = connectTimeout_;
    request.stallTimeout = stallTimeout_;
    request.caCertificatesFile = caCertificatesFile_;
    request.resumeFrom = request_.ResumeFrom;
    request.ifRange = request_.IfRange;
    request.resumeTotal = request_.ResumeTotal;
    request.requireFraming = request_.RequireFraming;
    request.maxBodySize = request_.MaxBodySize;
    request.speedFloor = speedFloor_;
    request.speedFloorPeriod = speedFloorPeriod_;
    if (proxyLookup_) {
        try {
            request.proxy = proxyLookup_(request.url);
        } catch (...) {
            request.proxy = std::string(); // no answer: go direct
        }
    }

    {
        std::lock_guard lock(wakeMutex_);
        wakeTarget_ = handles_->multi;
    }
    struct WakeReset {
        TIdHTTP &http;
        ~WakeReset() {
            std::lock_guard lock(http.wakeMutex_);
            http.wakeTarget_ = nullptr;
        }
    } wakeReset{*this};

    net::TransferReply reply;
    const auto started = std::chrono::steady_clock::now();
    const auto report = [&](std::string failure) {
        if (!OnRequestEnd)
            return;
        TIdHTTPRequestReport done;
        done.Url = request.url;
        done.Proxy = request.proxy;
        done.Status = reply.status;
        done.FullLength = reply.fullLength;
        done.RangeStart = reply.rangeStart;
        done.ETag = reply.etag;
        done.LastModified = reply.lastModified;
        done.Received = reply.received;
        done.Duration = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - started);
        done.Failure = std::move(failure);
        try {
            OnRequestEnd(*this, done);
        } catch (...) {
            // An observer: the request's outcome stands.
        }
    };
    const auto keepReply = [&] {
        responseCode_ = reply.status;
        responseText_ = reply.reason;
        responseContentType_ = reply.contentType;
        responseETag_ = reply.etag;
        responseLastModified_ = reply.lastModified;
        responseDate_ = reply.date;
        responseFullLength_ = reply.fullLength;
        responseRangeStart_ = reply.rangeStart;
    };
    try {
        net::RunTransfer(*handles_, request, sink, *this, cancelRequested_, reply, keepReply);
    } catch (const std::exception &error) {
        keepReply();
        report(FailureReason(error.what(), net::FailurePrefix(request.url)));
        throw;
    } catch (...) {
        keepReply();
        report("an event handler failed");
        throw;
    }
    keepReply();
    report({});
}

void TIdHTTP::Cancel() {
    cancelRequested_ = true;
    std::lock_guard lock(wakeMutex_);
    if (wakeTarget_)
        net::Curl()->multi_wakeup(static_cast<CURLM *>(wakeTarget_));
}

void TIdHTTP::Disconnect() {
    if (handles_)
        handles_->CloseConnections();
}

std::string TIdHTTP::EncodeQuery(const std::string &url) {
    const auto query = url.find('?');
    if (query == std::string::npos)
        return url;
    const auto fragment = url.find('#', query);
    const auto end = fragment == std::string::npos ? url.size() : fragment;

    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = url.substr(0, query + 1);
    for (std::size_t i = query + 1; i < end; ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        const bool escape =
            c == '%' && i + 2 < end && IsHexDigit(url[i + 1]) && IsHexDigit(url[i + 2]);
        if (IsQuerySafe(c) || escape) {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    out.append(url, end, std::string::npos);
    return out;
}

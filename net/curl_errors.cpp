// Sorting libcurl's results into the few kinds of failure the window tells apart.
#include "curl_errors.h"

namespace net {

TIdHTTPErrorKind ErrorKindFor(CURLcode code, bool connected) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return TIdHTTPErrorKind::CannotResolve;
    case CURLE_COULDNT_CONNECT:
    case CURLE_URL_MALFORMAT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
        return TIdHTTPErrorKind::CannotConnect;
    case CURLE_UNSUPPORTED_PROTOCOL:
        // Before a connection: a scheme we do not speak. After: a reply without a status line.
        return connected ? TIdHTTPErrorKind::ProtocolError : TIdHTTPErrorKind::CannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
        return TIdHTTPErrorKind::Stalled;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP_RETURNED_ERROR:
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_RANGE_ERROR:
    case CURLE_FILESIZE_EXCEEDED:
        return TIdHTTPErrorKind::ProtocolError;
    case CURLE_WRITE_ERROR:
        return TIdHTTPErrorKind::SinkFailed;
    case CURLE_ABORTED_BY_CALLBACK:
        return TIdHTTPErrorKind::Cancelled;
    default:
        // Partial file, receive and send errors, an empty reply, and whatever else breaks a
        // transfer that had begun.
        return TIdHTTPErrorKind::ConnectionLost;
    }
}

void ThrowHTTPError(TIdHTTPErrorKind kind, const std::string &message) {
    switch (kind) {
    case TIdHTTPErrorKind::ProtocolError:
        throw EIdHTTPProtocolError(0, "", message);
    case TIdHTTPErrorKind::CannotResolve:
        throw EIdCannotResolve(message);
    case TIdHTTPErrorKind::CannotConnect:
        throw EIdCannotConnect(message);
    case TIdHTTPErrorKind::ConnectionLost:
        throw EIdConnectionLost(message);
    case TIdHTTPErrorKind::Stalled:
        throw EIdStalled(message);
    case TIdHTTPErrorKind::Cancelled:
        throw EIdCancelled(message);
    case TIdHTTPErrorKind::SinkFailed:
        throw EIdSinkFailed(message);
    }
    throw EIdConnectionLost(message);
}

} // namespace net

#pragma once

#include <stdexcept>
#include <string>

/// What went wrong in a `TIdHTTP::Get`; one value per exception class below, for a `switch`.
enum class TIdHTTPErrorKind {
    ProtocolError,  ///< a reply outside 2xx (redirects too) or not HTTP, or a body out of bounds
    CannotResolve,  ///< the host name could not be resolved
    CannotConnect,  ///< no connection could be made (refused, unreachable, malformed address)
    ConnectionLost, ///< the connection broke, or the body ended short of its announced length
    Stalled,        ///< too little arrived (stall time-out, speed floor), or the connect timed out
    Cancelled,      ///< `TIdHTTP::Cancel` was called
    SinkFailed,     ///< the sink could not take the bytes (disk full, write error)
};

/// Base of every failure `TIdHTTP` raises. `what()` is a short English text for logs; the window
/// decides what the user sees from `Kind()`.
class EIdHTTPError : public std::runtime_error {
public:
    EIdHTTPError(TIdHTTPErrorKind kind, const std::string &message)
        : std::runtime_error(message), kind_(kind) {}
    TIdHTTPErrorKind Kind() const { return kind_; }

private:
    TIdHTTPErrorKind kind_;
};

/// A reply outside 2xx, or a 2xx reply whose body the request's bounds refuse. `ErrorCode()` is
/// the status (0 when the reply was not HTTP at all).
class EIdHTTPProtocolError : public EIdHTTPError {
public:
    EIdHTTPProtocolError(int errorCode, const std::string &reason, const std::string &message)
        : EIdHTTPError(TIdHTTPErrorKind::ProtocolError, message), errorCode_(errorCode),
          reason_(reason) {}
    int ErrorCode() const { return errorCode_; }
    /// The reason phrase of the status line ("Not Found"), possibly empty.
    const std::string &Reason() const { return reason_; }

private:
    int errorCode_;
    std::string reason_;
};

/// A 206 reply to a resume request that does not continue the resource where asked: its
/// Content-Range starts elsewhere, names another full length or none, or its body has another
/// length. Nothing of its body reached the sink; the caller starts again from the beginning.
class EIdRangeMismatch : public EIdHTTPProtocolError {
public:
    explicit EIdRangeMismatch(const std::string &message)
        : EIdHTTPProtocolError(206, "Partial Content", message) {}
};

/// The host name could not be resolved.
class EIdCannotResolve : public EIdHTTPError {
public:
    explicit EIdCannotResolve(const std::string &message)
        : EIdHTTPError(TIdHTTPErrorKind::CannotResolve, message) {}
};

/// No connection could be made: refused, unreachable, or an address we cannot use.
class EIdCannotConnect : public EIdHTTPError {
public:
    explicit EIdCannotConnect(const std::string &message)
        : EIdHTTPError(TIdHTTPErrorKind::CannotConnect, message) {}
};

/// The connection broke, or the body ended short of its announced length.
class EIdConnectionLost : public EIdHTTPError {
public:
    explicit EIdConnectionLost(const std::string &message)
        : EIdHTTPError(TIdHTTPErrorKind::ConnectionLost, message) {}
};

/// Nothing arrived for the stall period, too little arrived over a speed-floor period, or the
/// connect time-out ran out.
class EIdStalled : public EIdHTTPError {
public:
    explicit EIdStalled(const std::string &message)
        : EIdHTTPError(TIdHTTPErrorKind::Stalled, message) {}
};

/// `TIdHTTP::Cancel` ended the transfer.
class EIdCancelled : public EIdHTTPError {
public:
    explicit EIdCancelled(const std::string &message)
        : EIdHTTPError(TIdHTTPErrorKind::Cancelled, message) {}
};

/// The sink could not take the bytes (disk full, write error).
class EIdSinkFailed : public EIdHTTPError {
public:
    explicit EIdSinkFailed(const std::string &message)
        : EIdHTTPError(TIdHTTPErrorKind::SinkFailed, message) {}
};

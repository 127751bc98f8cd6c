#pragma once

#include "EIdHTTPError.h"

#include <curl/curl.h>

#include <string>

namespace net {

/// The kind of failure a libcurl result stands for. `connected` tells whether the connection had
/// been made (so an unsupported-protocol result is a reply that is not HTTP, not a bad address).
TIdHTTPErrorKind ErrorKindFor(CURLcode code, bool connected);

/// Throws the exception class of `kind` with `message`. A protocol error gets status 0.
[[noreturn]] void ThrowHTTPError(TIdHTTPErrorKind kind, const std::string &message);

} // namespace net

#pragma once

#include "TIdHTTP.h"

#include <cstdint>

/// While it lives, a reply must prove it is whole (a length or chunked framing: a connection
/// that is closed early is otherwise indistinguishable from the end) and stay within `maxSize`
/// bytes (-1: the caller bounds the size itself).
class TWholeReplies {
public:
    TWholeReplies(TIdHTTPRequest &request, std::int64_t maxSize) : request_(request) {
        request_.RequireFraming = true;
        request_.MaxBodySize = maxSize;
    }
    ~TWholeReplies() {
        request_.RequireFraming = false;
        request_.MaxBodySize = -1;
    }
    TWholeReplies(const TWholeReplies &) = delete;
    TWholeReplies &operator=(const TWholeReplies &) = delete;

private:
    TIdHTTPRequest &request_;
};

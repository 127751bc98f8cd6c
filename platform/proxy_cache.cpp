#include "proxy_cache.h"

#include "abandonable_call.h"
#include "text_encoding.h"
#include "url_parts.h"

namespace platform {

ProxyCache::ProxyCache(ProxySeam &seam, std::stop_token stop)
    : seam_(seam), stop_(std::move(stop)) {}

std::optional<std::string> ProxyCache::ProxyFor(const std::string &url) {
    const auto parts = ParseUrl(Utf8ToUtf16(url));
    // An address that does not parse is asked about as it is, and remembered as it is.
    const std::string server =
        parts ? parts->Scheme + "://" + parts->Host + ":" + std::to_string(parts->Port) : url;
    {
        std::lock_guard lock(mutex_);
        if (const auto known = answers_.find(server); known != answers_.end())
            return known->second;
    }
    // Shared with the question's thread, which may outlive this call.
    auto answer = std::make_shared<std::optional<std::string>>();
    const auto answered = CallAbandonably(
        [&seam = seam_, url, answer] {
            *answer = seam.ProxyFor(url);
            return true;
        },
        stop_);
    if (!answered.value_or(false))
        return std::string();
    std::lock_guard lock(mutex_);
    answers_.emplace(server, *answer);
    return *answer;
}

} // namespace platform

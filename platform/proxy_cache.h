#pragma once

#include "proxy_seam.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>

namespace platform {

/// The proxy answers of one press (or one version query): the system is asked once per server
/// (scheme, host and port), and each question runs on a thread of its own that `stop` abandons,
/// so a slow automatic detection neither repeats for every request nor holds up a closing
/// window. Any thread; the seam must outlive every question it was asked.
class ProxyCache {
public:
    ProxyCache(ProxySeam &seam, std::stop_token stop);

    /// The seam's answer for `url`'s server, asked once. After a stop: a direct connection (the
    /// request that follows is cancelled anyway).
    std::optional<std::string> ProxyFor(const std::string &url);

private:
    ProxySeam &seam_;
    std::stop_token stop_;
    std::mutex mutex_;
    std::map<std::string, std::optional<std::string>> answers_;
};

} // namespace platform

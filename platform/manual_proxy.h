#pragma once

#include <string>

namespace platform {

/// A fixed proxy set by hand in the system settings, as Windows stores it: the proxy list
/// ("host:port" for every scheme, or entries such as "http=host:port;https=host:port;
/// socks=host:port") and the bypass list ("*.example.com;10.*;<local>").
struct ManualProxySettings {
    std::u16string Proxy;
    std::u16string Bypass;
};

/// The proxy the settings give a request to `url`: "http://host:port" (the scheme's own entry,
/// else the entry for every scheme), "socks4://host:port" (only a "socks=" entry fits), or ""
/// for a direct connection (no entry fits, or the host is bypassed).
///
/// Bypassed: a host matching an entry of the bypass list (case-insensitive, "*" for any run of
/// characters, an entry with a port or a scheme must match those too); a host name without a dot
/// when the list holds "<local>"; and, as Windows does, the loopback host (localhost, 127.x.x.x,
/// ::1) unless the list holds "<-loopback>". A proxy without a port gets 80 (1080 for SOCKS).
std::string ManualProxyFor(const ManualProxySettings &settings, const std::string &url);

} // namespace platform
